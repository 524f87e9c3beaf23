#include "Statistics.h"

#include "Scoring.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace {

constexpr double kEpsilon = std::numeric_limits<double>::epsilon();
constexpr double kPi = 3.14159265358979323846;

} // namespace

// ---- moments

void Moments::add(double x)
{
    if (n == 0) {
        min = max = x;
    } else {
        min = std::min(min, x);
        max = std::max(max, x);
    }
    ++n;
    const double delta = x - mean;
    mean += delta / n;
    m2 += delta * (x - mean);
}

std::optional<double> Moments::variance() const
{
    if (n < 2 || withheld)
        return std::nullopt;
    return m2 / (n - 1);
}

std::optional<double> Moments::sd() const
{
    const auto v = variance();
    return v ? std::optional(std::sqrt(*v)) : std::nullopt;
}

std::optional<std::array<double, 2>> meanInterval95(int n, double mean, double sd)
{
    if (n < 2)
        return std::nullopt;
    const double half = studentTQuantile(0.975, n - 1) * sd / std::sqrt(double(n));
    return std::array<double, 2>{mean - half, mean + half};
}

std::optional<std::array<double, 2>> Moments::ci95() const
{
    const auto s = sd();
    return s ? meanInterval95(n, mean, *s) : std::nullopt;
}

std::optional<std::array<double, 2>>
clippedToPercent(const std::optional<std::array<double, 2>> &interval)
{
    if (!interval)
        return std::nullopt;
    return std::array<double, 2>{std::clamp((*interval)[0], 0.0, 100.0),
                                 std::clamp((*interval)[1], 0.0, 100.0)};
}

Moments mergedMoments(const Moments &a, const Moments &b)
{
    if (a.n == 0)
        return b;
    if (b.n == 0)
        return a;
    Moments m;
    m.n = a.n + b.n;
    const double delta = b.mean - a.mean;
    m.mean = a.mean + delta * b.n / m.n;
    m.m2 = a.m2 + b.m2 + delta * delta * (double(a.n) * b.n / m.n);
    m.min = std::min(a.min, b.min);
    m.max = std::max(a.max, b.max);
    m.withheld = a.withheld || b.withheld;
    if (m.withheld)
        m.m2 = m.min = m.max = 0;
    return m;
}

Moments remainderMoments(const Moments &whole, const Moments &part)
{
    Moments rest;
    rest.n = whole.n - part.n;
    if (rest.n <= 0)
        return {};
    rest.mean = (whole.n * whole.mean - part.n * part.mean) / rest.n;
    const double delta = part.mean - rest.mean;
    rest.m2 = whole.m2 - part.m2 - delta * delta * (double(part.n) * rest.n / whole.n);
    // What is left of a subtraction of nearly equal sums is rounding, not spread: a rest whose
    // members are all alike must show no variance, or Welch's test would find a difference in
    // two constant columns.
    if (rest.m2 < 64 * kEpsilon * whole.m2)
        rest.m2 = 0;
    rest.withheld = whole.withheld || part.withheld;
    if (rest.withheld)
        rest.m2 = 0;
    return rest;
}

namespace {

// Moments::add for a column of a member whose count n is already known, with 1/n taken once
// for all of the member's columns: the one pass over a large folder adds 68 values a file.
inline void addCounted(Moments &m, double x, int n, double inverse)
{
    if (n == 1) {
        m.min = m.max = x;
    } else {
        m.min = std::min(m.min, x);
        m.max = std::max(m.max, x);
    }
    m.n = n;
    const double delta = x - m.mean;
    m.mean += delta * inverse;
    m.m2 += delta * (x - m.mean);
}

// The lowest sum and the factor that make a column's raw sums percent, as toPercent does with its
// division made a product (the same figure to the last digit or two). The factors are taken once
// rather than divided out again for each of a member's 36 values.
struct PercentScale
{
    double low;
    double factor;
};

template <std::size_t N> std::array<PercentScale, N> percentScales(int (*rangeRow)(int))
{
    std::array<PercentScale, N> scales{};
    for (std::size_t i = 0; i < N; ++i) {
        const ScoreRange range = ProfileStore::ScoreRanges[std::size_t(rangeRow(int(i) + 1))];
        scales[i] = {double(range.low), 100.0 / (range.high - range.low)};
    }
    return scales;
}

template <std::size_t N, std::size_t M>
void addPercents(std::array<Moments, N> &columns, const std::array<double, M> &raw, int n,
                 double inverse, const std::array<PercentScale, N> &scales)
{
    for (std::size_t i = 0; i < N; ++i)
        addCounted(columns[i], (raw[i + 1] - scales[i].low) * scales[i].factor, n, inverse);
}

} // namespace

void ValueMoments::add(const ProfileStore &raw)
{
    const int n = answers[0].n + 1;
    const double inverse = 1.0 / n;
    static const auto summaryScales = percentScales<kSummaryCount>(&ProfileStore::summaryRangeRow);
    static const auto scaleScales = percentScales<kScaleScoreCount>(&ProfileStore::scaleRangeRow);
    addPercents(summary, raw.SummaryScores, n, inverse, summaryScales);
    addPercents(scales, raw.ScaleScores, n, inverse, scaleScales);
    for (std::size_t i = 0; i < answers.size(); ++i)
        addCounted(answers[i], raw.Answers[i + 1], n, inverse);
}

const Moments &ValueMoments::value(int index) const
{
    return index < kSummaryCount ? summary[std::size_t(index)]
                                 : scales[std::size_t(index - kSummaryCount)];
}

Moments &ValueMoments::value(int index)
{
    return index < kSummaryCount ? summary[std::size_t(index)]
                                 : scales[std::size_t(index - kSummaryCount)];
}

namespace {

template <typename Combine>
ValueMoments combined(const ValueMoments &a, const ValueMoments &b, const Combine &combine)
{
    ValueMoments out;
    for (std::size_t i = 0; i < out.summary.size(); ++i)
        out.summary[i] = combine(a.summary[i], b.summary[i]);
    for (std::size_t i = 0; i < out.scales.size(); ++i)
        out.scales[i] = combine(a.scales[i], b.scales[i]);
    for (std::size_t i = 0; i < out.answers.size(); ++i)
        out.answers[i] = combine(a.answers[i], b.answers[i]);
    return out;
}

} // namespace

ValueMoments mergedMoments(const ValueMoments &a, const ValueMoments &b)
{
    return combined(a, b, [](const Moments &x, const Moments &y) { return mergedMoments(x, y); });
}

ValueMoments remainderMoments(const ValueMoments &whole, const ValueMoments &part)
{
    return combined(whole, part,
                    [](const Moments &x, const Moments &y) { return remainderMoments(x, y); });
}

void forgetExtremes(ValueMoments &moments, bool withholdSpread)
{
    const auto forget = [withholdSpread](auto &columns) {
        for (Moments &m : columns) {
            m.min = m.max = 0;
            if (withholdSpread) {
                m.m2 = 0;
                m.withheld = true;
            }
        }
    };
    forget(moments.summary);
    forget(moments.scales);
    forget(moments.answers);
}

// ---- distributions

namespace {

// The continued fraction of the incomplete beta function (modified Lentz), which converges
// fast for x < (a + 1) / (a + b + 2).
double betaFraction(double x, double a, double b)
{
    constexpr double kTiny = 1e-300;
    constexpr int kMostTerms = 100000;
    const auto guard = [](double v) { return std::fabs(v) < kTiny ? kTiny : v; };
    double c = 1;
    double d = 1 / guard(1 - (a + b) * x / (a + 1));
    double h = d;
    for (int m = 1; m <= kMostTerms; ++m) {
        const double m2 = 2.0 * m;
        double aa = m * (b - m) * x / ((a - 1 + m2) * (a + m2));
        d = 1 / guard(1 + aa * d);
        c = guard(1 + aa / c);
        h *= d * c;
        aa = -(a + m) * (a + b + m) * x / ((a + m2) * (a + 1 + m2));
        d = 1 / guard(1 + aa * d);
        c = guard(1 + aa / c);
        const double step = d * c;
        h *= step;
        if (std::fabs(step - 1) < 2 * kEpsilon)
            return h;
    }
    // No answer within the terms: say so rather than hand on a figure that is not one.
    return std::numeric_limits<double>::quiet_NaN();
}

// ln Γ(x) without std::lgamma's write to the process-wide signgam, which is a data race when the
// batch's threads test at once. The arguments here are positive, so the sign is not needed.
double logGamma(double x)
{
#if defined(_WIN32)
    return std::lgamma(x); // the Windows runtime keeps no global sign
#else
    int sign = 0;
    return ::lgamma_r(x, &sign);
#endif
}

// I_x(a, b) with y = 1 - x given as well, so that neither loses digits when the other is
// near 1.
double regularizedBeta(double x, double y, double a, double b)
{
    if (x <= 0)
        return 0;
    if (y <= 0)
        return 1;
    const double front = std::exp(logGamma(a + b) - logGamma(a) - logGamma(b) +
                                  a * std::log(x) + b * std::log(y));
    if (x < (a + 1) / (a + b + 2))
        return front * betaFraction(x, a, b) / a;
    return 1 - front * betaFraction(y, b, a) / b;
}

// P(T > t) for t >= 0.
double upperTail(double t, double df)
{
    const double t2 = t * t;
    return 0.5 * regularizedBeta(df / (df + t2), t2 / (df + t2), df / 2, 0.5);
}

double studentDensity(double t, double df)
{
    return std::exp(logGamma((df + 1) / 2) - logGamma(df / 2) - 0.5 * std::log(df * kPi) -
                    (df + 1) / 2 * std::log1p(t * t / df));
}

// The standard normal quantile (Acklam's rational approximation, about 1e-9), a start for the
// t quantile's iteration.
double normalQuantile(double p)
{
    static const double a[] = {-3.969683028665376e+01, 2.209460984245205e+02,
                               -2.759285104469687e+02, 1.383577518672690e+02,
                               -3.066479806614716e+01, 2.506628277459239e+00};
    static const double b[] = {-5.447609879822406e+01, 1.615858368580409e+02,
                               -1.556989798598866e+02, 6.680131188771972e+01,
                               -1.328068155288572e+01};
    static const double c[] = {-7.784894002430293e-03, -3.223964580411365e-01,
                               -2.400758277161838e+00, -2.549732539343734e+00,
                               4.374664141464968e+00,  2.938163982698783e+00};
    static const double d[] = {7.784695709041462e-03, 3.224671290700398e-01, 2.445134137142996e+00,
                               3.754408661907416e+00};
    constexpr double kLow = 0.02425;
    if (p < kLow || p > 1 - kLow) {
        const double q = std::sqrt(-2 * std::log(p < kLow ? p : 1 - p));
        const double z = (((((c[0] * q + c[1]) * q + c[2]) * q + c[3]) * q + c[4]) * q + c[5]) /
                         ((((d[0] * q + d[1]) * q + d[2]) * q + d[3]) * q + 1);
        return p < kLow ? z : -z;
    }
    const double q = p - 0.5, r = q * q;
    return (((((a[0] * r + a[1]) * r + a[2]) * r + a[3]) * r + a[4]) * r + a[5]) * q /
           (((((b[0] * r + b[1]) * r + b[2]) * r + b[3]) * r + b[4]) * r + 1);
}

} // namespace

double regularizedBeta(double x, double a, double b)
{
    if (!(a > 0) || !(b > 0) || !(x >= 0 && x <= 1))
        return std::numeric_limits<double>::quiet_NaN();
    return regularizedBeta(x, 1 - x, a, b);
}

double studentTCdf(double t, double df)
{
    if (!(df > 0) || std::isnan(t))
        return std::numeric_limits<double>::quiet_NaN();
    const double upper = upperTail(std::fabs(t), df);
    return t < 0 ? upper : 1 - upper;
}

double studentTQuantile(double p, double df)
{
    if (!(df > 0) || !(p > 0 && p < 1))
        return std::numeric_limits<double>::quiet_NaN();
    if (p == 0.5)
        return 0;
    if (p < 0.5)
        return -studentTQuantile(1 - p, df);
    // A group's 36 intervals all ask for the same quantile, which takes long to find for a
    // large group: the last one is kept.
    struct Last
    {
        double p = 0, df = 0, t = 0;
    };
    thread_local Last last;
    if (last.p == p && last.df == df)
        return last.t;
    const double q = 1 - p;
    // Start from the normal quantile with the first terms of the Cornish-Fisher expansion; the
    // upper tail is convex for t > 0, so Newton's steps then close in from below.
    const double z = normalQuantile(p);
    double t = z + (z * z * z + z) / (4 * df) +
               (5 * std::pow(z, 5) + 16 * z * z * z + 3 * z) / (96 * df * df);
    constexpr int kMostSteps = 1000;
    for (int i = 0; i < kMostSteps; ++i) {
        const double next = t + (upperTail(t, df) - q) / studentDensity(t, df);
        const double stepped = next > 0 ? next : t / 2;
        const bool done = std::fabs(stepped - t) <= 4 * kEpsilon * stepped;
        t = stepped;
        if (done)
            break;
    }
    last = {p, df, t};
    return t;
}

// ---- tests

std::optional<double> welchP(const Moments &x, const Moments &y)
{
    const auto vx = x.variance(), vy = y.variance();
    if (!vx || !vy)
        return std::nullopt;
    const double ex = *vx / x.n, ey = *vy / y.n;
    const double stderror = std::sqrt(ex + ey);
    // As t.test: data whose standard error vanishes beside their means are constant.
    if (stderror < 10 * kEpsilon * std::max(std::fabs(x.mean), std::fabs(y.mean)) || stderror == 0)
        return std::nullopt;
    const double df = (ex + ey) * (ex + ey) / (ex * ex / (x.n - 1) + ey * ey / (y.n - 1));
    const double t = (x.mean - y.mean) / stderror;
    const double p = 2 * upperTail(std::fabs(t), df);
    if (std::isnan(p))
        return std::nullopt;
    return std::min(1.0, p);
}

std::vector<std::optional<double>> adjustBH(const std::vector<std::optional<double>> &p)
{
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < p.size(); ++i)
        if (p[i])
            order.push_back(i);
    // Largest first, ties in their given order (R's order(p, decreasing = TRUE) is stable).
    std::stable_sort(order.begin(), order.end(),
                     [&p](std::size_t a, std::size_t b) { return *p[a] > *p[b]; });
    std::vector<std::optional<double>> adjusted(p.size());
    const double n = double(order.size());
    double least = 1;
    for (std::size_t k = 0; k < order.size(); ++k) {
        const double rank = n - double(k);
        least = std::min(least, n / rank * *p[order[k]]);
        adjusted[order[k]] = least;
    }
    return adjusted;
}

ValueTests comparisonTests(const ValueMoments &a, const ValueMoments &b)
{
    std::vector<std::optional<double>> p(kValueCount);
    for (int i = 0; i < kValueCount; ++i)
        p[std::size_t(i)] = welchP(a.value(i), b.value(i));
    const auto adjusted = adjustBH(p);
    ValueTests tests;
    for (std::size_t i = 0; i < p.size(); ++i) {
        tests.p[i] = p[i];
        tests.significant[i] = adjusted[i] && *adjusted[i] < kSignificanceLevel;
    }
    return tests;
}

double percentileWithin(double value, const std::vector<double> &members)
{
    if (members.empty())
        return 0;
    double below = 0;
    for (const double m : members)
        below += m < value ? 1.0 : m == value ? 0.5 : 0.0;
    return 100 * below / double(members.size());
}

std::optional<double> percentileWithin(double value, const Moments &group)
{
    const auto s = group.sd();
    if (!s || *s == 0)
        return std::nullopt;
    return 50 * std::erfc(-(value - group.mean) / (*s * std::sqrt(2.0)));
}

// ---- agreement

std::optional<double> rwgJ(const std::vector<std::optional<double>> &itemVariances, double sigma2)
{
    if (itemVariances.empty())
        return std::nullopt;
    double sum = 0;
    for (const auto &v : itemVariances) {
        if (!v)
            return std::nullopt;
        sum += *v;
    }
    const double j = double(itemVariances.size());
    const double ratio = std::min(sum / j, sigma2) / sigma2;
    return j * (1 - ratio) / (j * (1 - ratio) + ratio);
}

namespace {
constexpr int kAnswersPerBlock = 8;
constexpr int kScalesPerBlock = 4;
} // namespace

std::vector<int> scaleAnswers(int scale)
{
    if (scale > kScaleCount) {
        // A factor (III) cell: its two scales' answers.
        const int cell = scale - kScaleCount;
        std::vector<int> answers = scaleAnswers(2 * cell - 1);
        const std::vector<int> second = scaleAnswers(2 * cell);
        answers.insert(answers.end(), second.begin(), second.end());
        return answers;
    }
    // Answers k and k + 4 of a block feed its scale k.
    const int block = (scale - 1) / kScalesPerBlock, k = (scale - 1) % kScalesPerBlock + 1;
    const int first = kAnswersPerBlock * block + k;
    return {first, first + kScalesPerBlock};
}

std::vector<int> blockAnswers(int block)
{
    std::vector<int> answers(kAnswersPerBlock);
    std::iota(answers.begin(), answers.end(), kAnswersPerBlock * (block - 1) + 1);
    return answers;
}

Agreement agreementOf(const std::array<std::optional<double>, kAnswerCount + 1> &answerVariance)
{
    const auto of = [&answerVariance](const std::vector<int> &answers) {
        std::vector<std::optional<double>> items;
        for (const int a : answers)
            items.push_back(answerVariance[std::size_t(a)]);
        return rwgJ(items);
    };
    Agreement agreement;
    for (int s = 1; s <= kScaleScoreCount; ++s)
        agreement.scales[std::size_t(s - 1)] = of(scaleAnswers(s));
    for (int b = 1; b <= kFactorIIBlocks; ++b)
        agreement.blocks[std::size_t(b - 1)] = of(blockAnswers(b));
    return agreement;
}

Agreement agreementOf(const ValueMoments &moments)
{
    std::array<std::optional<double>, kAnswerCount + 1> variance{};
    for (int a = 1; a <= kAnswerCount; ++a)
        variance[std::size_t(a)] = moments.answers[std::size_t(a - 1)].variance();
    return agreementOf(variance);
}

bool agreementIsLow(const Agreement &agreement)
{
    return std::any_of(agreement.blocks.begin(), agreement.blocks.end(),
                       [](const auto &r) { return r && *r < kAgreementThreshold; });
}

// ---- ICC

Icc iccOf(const std::vector<Moments> &rows)
{
    double total = 0, sum = 0, within = 0;
    int groups = 0;
    for (const Moments &row : rows) {
        if (row.n == 0)
            continue;
        ++groups;
        total += row.n;
        sum += row.n * row.mean;
        within += row.m2;
    }
    if (groups < 2 || total - groups < 1)
        return {};
    const double grand = sum / total;
    double between = 0, level = 0;
    for (const Moments &row : rows) {
        between += row.n * (row.mean - grand) * (row.mean - grand);
        level += row.n * row.mean * row.mean;
    }
    // Means equal but for rounding differ by a few units in their last place: no spread between
    // the rows, or ICC(2) of equal means would come out as -1e30.
    if (between < 64 * kEpsilon * level)
        between = 0;
    const double msb = between / (groups - 1), msw = within / (total - groups);
    const double k = total / groups;
    Icc icc;
    if (const double denominator = msb + (k - 1) * msw; denominator > 0)
        icc.icc1 = (msb - msw) / denominator;
    if (msb > 0)
        icc.icc2 = (msb - msw) / msb;
    return icc;
}

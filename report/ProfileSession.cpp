#include "ProfileSession.h"

#include "ProfileTable.h"
#include "Scoring.h"

PercentScores::PercentScores(const ProfileStore &raw) : store_(raw)
{
    convertToPercent(store_);
}

ProfileSession::ProfileSession(LoadedProfile read, const QString &title)
    : percent_(read.store), title_(read.group ? title : QString())
{
    read_ = std::make_shared<const LoadedProfile>(std::move(read));
}

void ProfileSession::setBreakdown(std::shared_ptr<const BreakdownTable> breakdown)
{
    breakdown_ = std::move(breakdown);
}

void ProfileSession::setTrend(std::shared_ptr<const Trend> trend)
{
    trend_ = std::move(trend);
}

QString ProfileSession::shownName(const QString &nameField) const
{
    if (group() && !title_.isEmpty() && nameField == groupName())
        return title_;
    return nameField;
}

QString ProfileSession::fileStem(const QString &code) const
{
    if (!group() || title_.trimmed().isEmpty())
        return code;
    return code + QLatin1Char(' ') + title_;
}

ProfileView ProfileSession::view(const HeaderTexts &header,
                                 const std::optional<ReferenceProfile> &reference,
                                 const QPalette &colors) const
{
    ProfileView view;
    view.header = header;
    view.store = scores();
    view.reference = reference;
    view.colors = colors;
    return view;
}

ReportContent ProfileSession::reportContent(const HeaderTexts &header, const QString &nameCaption,
                                            const QString &today, const QString &analysis,
                                            const std::optional<ReferenceProfile> &reference,
                                            const Disclosure &disclosure) const
{
    ReportContent content;
    content.header = header;
    content.header.name = shownName(header.name);
    content.nameCaption = nameCaption;
    content.title = title_;
    content.today = today;
    content.store = scores();
    content.analysis = analysis;
    content.reference = reference;
    content.disclosure = disclosure;
    if (read_) {
        content.group = read_->group;
        content.anonymous = read_->anonymous;
        content.count = read_->count;
        if (read_->group)
            content.spread = summarySpread(*read_);
    }
    if (breakdown_)
        content.breakdown = *breakdown_;
    if (trend_)
        content.trend = *trend_;
    return content;
}

#pragma once

#include "Breakdown.h"
#include "Comparison.h"
#include "Disclosure.h"
#include "Profile.h"
#include "ProfileView.h"
#include "Report.h"
#include "Trend.h"

#include <QPalette>
#include <QString>
#include <memory>
#include <optional>

// A profile's scores as percentages of their ranges, converted from the raw sums once, when it
// is made: there is no way to convert the same scores twice.
class PercentScores
{
public:
    PercentScores() = default; // nothing read: every score 0
    explicit PercentScores(const ProfileStore &raw);
    const ProfileStore &store() const { return store_; }

private:
    ProfileStore store_;
};

// The profile on show and where it came from: the load as read (raw sums, members, moments),
// its percentages, what names a group (its folder or table, a subgroup, a wave) and the
// breakdown or trend it was opened from. The window holds one; the batch builds one for every
// input the same way, so both show and write the same views and report.
class ProfileSession
{
public:
    ProfileSession() = default; // before the first load
    ProfileSession(LoadedProfile read, const QString &title);

    bool loaded() const { return read_ != nullptr; }
    // The load as read; only when loaded().
    const LoadedProfile &read() const { return *read_; }
    const ProfileStore &scores() const { return percent_.store(); }
    bool group() const { return read_ && read_->group; }
    // Empty for a respondent.
    const QString &title() const { return title_; }

    void setBreakdown(std::shared_ptr<const BreakdownTable> breakdown);
    const BreakdownTable *breakdown() const { return breakdown_.get(); }
    void setTrend(std::shared_ptr<const Trend> trend);
    const Trend *trend() const { return trend_.get(); }

    // The name as the captions, the report and the window's title give it: the name field, or
    // for a group whose field still says "Группа" the group's own title.
    QString shownName(const QString &nameField) const;
    // What file names are made of: the code, and for a group its title after it ("0000 Склад").
    QString fileStem(const QString &code) const;

    // What the views show of the session under the header fields as they stand.
    ProfileView view(const HeaderTexts &header, const std::optional<ReferenceProfile> &reference,
                     const QPalette &colors) const;
    // The report's content: the header fields (the name as shownName gives it), the analysis
    // as shown, the reference and what may be published of it.
    ReportContent reportContent(const HeaderTexts &header, const QString &nameCaption,
                                const QString &today, const QString &analysis,
                                const std::optional<ReferenceProfile> &reference,
                                const Disclosure &disclosure) const;

private:
    std::shared_ptr<const LoadedProfile> read_;
    PercentScores percent_;
    QString title_;
    std::shared_ptr<const BreakdownTable> breakdown_;
    std::shared_ptr<const Trend> trend_;
};

#pragma once

#include "ChartViews.h"
#include "Comparison.h"
#include "DiagramViews.h"
#include "Profile.h"

#include <QPalette>
#include <optional>

// What the views of a profile show, as one value: the window fills it from what is on screen,
// the batch from what it loaded. Every view paints from it alone, into any painter, on any
// thread.
struct ProfileView
{
    // Code, name and date as the header fields hold them; the details.
    HeaderTexts header;
    ProfileStore store; // percent state
    // The profile laid over this one, or none.
    std::optional<ReferenceProfile> reference;
    DiagramKind diagram = DiagramKind::FactorsIII;
    ChartViewKind chart = ChartViewKind::ScalesByFactorsII;
    // What the system colours of the panels stand for (the button face, its bevels); the
    // application's when the value is made.
    QPalette colors;

    const ProfileStore *referenceStore() const { return reference ? &reference->store : nullptr; }
    QString referenceCaptionText() const
    {
        return reference ? referenceCaption(*reference) : QString();
    }
};

// The caption beside the name field after a respondent's load; a group's names the group.
inline QString respondentNameCaption()
{
    return QStringLiteral("Ф.И.О");
}

#pragma once

#include "Dialogs.h"

#include <QDialog>
#include <QStringList>
#include <array>

class QDoubleSpinBox;
class QRadioButton;
class QSpinBox;

// The breakdown's question: which of the details lines 4 to 7 the folder is split by, each
// shown with the text most of the folder has there (or how many different texts it holds, when
// no two files agree), the smallest subgroup shown on its own, the smallest whose spread and
// tests are shown (never below the first) and the smallest difference marked.
class BreakdownDialog : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY(BreakdownDialog)

public:
    // lineTexts: what commonDetailTexts says of lines 4, 5, 6 and 7.
    explicit BreakdownDialog(const QStringList &lineTexts, QWidget *parent = nullptr);

    BreakdownChoice choice() const;

    std::array<QRadioButton *, 4> rbLines{};
    QSpinBox *seMinimumSize = nullptr;
    QSpinBox *seMinimumSpread = nullptr;
    QDoubleSpinBox *seMinimumDiff = nullptr;
};

#include "BreakdownDialog.h"

#include "Breakdown.h"
#include "ShownText.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

// A choice shows this much of a line's text; the line may be long, the dialog may not.
constexpr qsizetype kShownLineText = 80;
constexpr int kLargestMinimumSize = 1000000;

} // namespace

BreakdownDialog::BreakdownDialog(const QStringList &lineTexts, QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Подгруппы"));
    auto *layout = new QVBoxLayout(this);
    auto *lines = new QGroupBox(QStringLiteral("Разделить папку по строке анкеты"), this);
    auto *linesLayout = new QVBoxLayout(lines);
    for (int i = 0; i < kSplitLineCount; ++i) {
        const QString text = lineTexts.value(i);
        rbLines[std::size_t(i)] = new QRadioButton(
            QStringLiteral("Строка %1: %2")
                .arg(kFirstSplitLine + i)
                .arg(text.isEmpty() ? unspecifiedName() : shownBeginning(text, kShownLineText)),
            lines);
        linesLayout->addWidget(rbLines[std::size_t(i)]);
    }
    rbLines[0]->setChecked(true);
    layout->addWidget(lines);

    auto *form = new QFormLayout;
    seMinimumSize = new QSpinBox(this);
    seMinimumSize->setRange(1, kLargestMinimumSize);
    seMinimumSize->setValue(kDefaultMinimumSize);
    form->addRow(QStringLiteral("Наименьшая подгруппа, файлов:"), seMinimumSize);
    seMinimumSpread = new QSpinBox(this);
    seMinimumSpread->setRange(kDefaultMinimumSize, kLargestMinimumSize);
    seMinimumSpread->setValue(kDefaultMinimumSpread);
    form->addRow(QStringLiteral("Разброс и проверки — от подгруппы, файлов:"), seMinimumSpread);
    // The spread of a subgroup needs at least as many members as its mean.
    connect(seMinimumSize, &QSpinBox::valueChanged, seMinimumSpread,
            [this](int size) { seMinimumSpread->setMinimum(size); });
    seMinimumSpread->setMinimum(seMinimumSize->value());
    seMinimumDiff = new QDoubleSpinBox(this);
    seMinimumDiff->setRange(0, 100);
    seMinimumDiff->setDecimals(1);
    seMinimumDiff->setSingleStep(0.5);
    seMinimumDiff->setValue(kDefaultMinimumDifference);
    form->addRow(QStringLiteral("Отмечать различия от, пунктов:"), seMinimumDiff);
    layout->addLayout(form);
    auto *note = new QLabel(
        QStringLiteral("Подгруппы меньше наименьшего размера объединяются в строку «%1». У "
                       "подгрупп меньше второго числа не показываются разброс и проверки: по "
                       "ним можно было бы восстановить ответы участников.")
            .arg(othersName()),
        this);
    note->setWordWrap(true);
    layout->addWidget(note);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

BreakdownChoice BreakdownDialog::choice() const
{
    BreakdownChoice chosen{
        kFirstSplitLine,
        {seMinimumSize->value(), seMinimumSpread->value(), seMinimumDiff->value()}};
    for (int i = 0; i < kSplitLineCount; ++i)
        if (rbLines[std::size_t(i)]->isChecked())
            chosen.line = kFirstSplitLine + i;
    return chosen;
}

#pragma once

#include <QWidget>

// A panel filled with the button face and framed by one-pixel bevels, outer and inner, each
// raised or lowered.
class TPanel : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(TPanel)

public:
    enum class Bevel { None, Raised, Lowered };

    explicit TPanel(QWidget *parent, Bevel outer = Bevel::Raised, Bevel inner = Bevel::Lowered);

    // The area inside the bevels.
    QRect innerRect() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Bevel outer_;
    Bevel inner_;
};

#pragma once

#include <QHeaderView>

// A table's header whose titles from one section on read upwards, so that a column of numbers
// needs only the width of its numbers, however long its title.
class TurnedHeader : public QHeaderView
{
public:
    TurnedHeader(int firstTurned, QWidget *parent)
        : QHeaderView(Qt::Horizontal, parent), firstTurned_(firstTurned)
    {
    }

protected:
    QSize sectionSizeFromContents(int section) const override;
    void paintSection(QPainter *painter, const QRect &rect, int section) const override;

private:
    int firstTurned_;
};

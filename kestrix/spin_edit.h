#pragma once

#include <QSpinBox>

namespace kestrix {

// A whole-number spin edit that tells when its arrows (or the arrow keys) step it, apart from
// typed changes, so that the window can sound the click.
class SpinEdit : public QSpinBox {
    Q_OBJECT
public:
    using QSpinBox::QSpinBox;

    void stepBy(int steps) override
    {
        emit stepped();
        QSpinBox::stepBy(steps);
    }

signals:
    void stepped();
};

}  // namespace kestrix

// A button that draws itself: a rounded face in the wizard's blue with its
// caption centred, used where a page wants a button that does not look like
// the platform's.
#pragma once

#include <QAbstractButton>

namespace orvanta {

class RoundedButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit RoundedButton(QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace orvanta

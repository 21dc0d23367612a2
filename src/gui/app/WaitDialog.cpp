#include "gui/app/WaitDialog.h"

#include <algorithm>

#include <QEvent>
#include <QLabel>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/framework/WizardPage.h"

namespace orvanta {

WaitDialog::WaitDialog(QWidget* owner) : QDialog(owner, Qt::Tool | Qt::FramelessWindowHint) {
    setObjectName(QString::number(kDialog));
    setAccessibleName(QStringLiteral("Please wait"));
    setFixedSize(WizardPage::DluX(328), WizardPage::DluY(67));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);
    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("frame"));
    frame->setFrameShape(QFrame::Box);
    frame->setGeometry(rect());
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(16, 12, 16, 12);
    text_ = new QLabel(this);
    text_->setObjectName(QString::number(kText));
    text_->setTextFormat(Qt::PlainText);
    text_->setWordWrap(true);
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QString::number(kProgress));
    progress_->setAccessibleName(QStringLiteral("Progress"));
    progress_->setTextVisible(false);
    progress_->setRange(0, 1000);
    progress_->setValue(0);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancel_->setObjectName(QString::number(kCancel));
    cancel_->setAccessibleName(QStringLiteral("Cancel"));
    cancel_->setAutoDefault(false);
    cancel_->hide();
    // Once clicked it has done its part; the work ends at its next step.
    connect(cancel_, &QPushButton::clicked, this, [this] {
        cancel_->setEnabled(false);
        emit CancelClicked();
    });
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(progress_, 1);
    bottom->addWidget(cancel_);
    column->addWidget(text_);
    column->addLayout(bottom);
}

void WaitDialog::SetRange(int low, int high) { progress_->setRange(low, high); }
void WaitDialog::SetPos(int pos) { progress_->setValue(pos); }
int WaitDialog::Maximum() const { return progress_->maximum(); }
int WaitDialog::Position() const { return progress_->value(); }

void WaitDialog::SetProgress(int done, int total) {
    progress_->setRange(0, std::max(total, 0));
    progress_->setValue(total > 0 ? std::clamp(done, 0, total) : 0);
}

void WaitDialog::SetCancelShown(bool shown) {
    cancel_->setEnabled(true);
    cancel_->setVisible(shown);
}

bool WaitDialog::CancelShown() const { return !cancel_->isHidden(); }

void WaitDialog::SetCancelText(const QString& text) {
    if (text.isEmpty()) return;
    cancel_->setText(text);
    cancel_->setAccessibleName(text);
}

void WaitDialog::SetText(const QString& text) {
    text_->setText(text);
    text_->setAccessibleName(text);
}

QString WaitDialog::Text() const { return text_->text(); }

void WaitDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!isEnabled()) setEnabled(true);
}

void WaitDialog::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    // A window may be enabled under a disabled owner; this undoes the
    // owner's disabling as it reaches us.
    if (event->type() == QEvent::EnabledChange && !isEnabled()) setEnabled(true);
}

}  // namespace orvanta

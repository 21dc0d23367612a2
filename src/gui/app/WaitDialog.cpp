#include "gui/app/WaitDialog.h"

#include <QEvent>
#include <QLabel>
#include <QProgressBar>
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
    column->addWidget(text_);
    column->addWidget(progress_);
}

void WaitDialog::SetRange(int low, int high) { progress_->setRange(low, high); }
void WaitDialog::SetPos(int pos) { progress_->setValue(pos); }
int WaitDialog::Maximum() const { return progress_->maximum(); }

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

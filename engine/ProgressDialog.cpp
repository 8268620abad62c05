#include "engine/ProgressDialog.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "engine/DialogLook.h"
#include "engine/WizardPage.h"
#include "platform/ui/ProgramIcons.h"

namespace {

constexpr int kWidth = 280, kHeight = 150;

template <class W>
W* Place(QDialog* dialog, const DialogUnits& units, W* widget, int id, int x, int y, int width,
         int height) {
    widget->setParent(dialog);
    if (id) widget->setObjectName(ControlName(id));
    widget->setGeometry(units.ToPixels(x, y, width, height));
    return widget;
}

}  // namespace

CProgressDialog::CProgressDialog(WizardState& state, const ProgressGraph& graph, QWidget* parent)
    : QDialog(parent), state_(state), units_(font()), run_(state, graph) {
    setObjectName(ControlName(220));
    setWindowTitle(kProgressTitle);
    setWindowIcon(programicons::Icon(programicons::kKorc));
    ApplyDialogLook(this);
    setFixedSize(units_.X(kWidth), units_.Y(kHeight));

    auto text = [this](int id, const char* shown, int x, int y, int width) {
        return Place(this, units_, new QLabel(shown), id, x, y, width, 10);
    };
    text(0, "Please wait while the file is being created...", 8, 8, 264);
    QLabel* notice = text(0,
                          "File creation can take time depending on the duration, output format, "
                          "video and audio codec or mode and dimension you have selected.",
                          8, 20, 264);
    notice->setWordWrap(true);
    notice->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    notice->resize(notice->width(), units_.Y(24));
    text(0, "Destination File:", 8, 46, 264);
    text(kDestinationText, "", 8, 56, 264);
    auto* bar = Place(this, units_, new QProgressBar, kProgressBar, 8, 72, 264, 12);
    bar->setRange(0, 0);
    bar->setValue(0);
    text(kSavedText, "Saved: x sec of x sec", 8, 90, 180);
    text(kPercentText, "0% complete", 190, 90, 82);
    auto* button =
        Place(this, units_, new QPushButton(kDoneText), kButtonForward, 222, 126, 50, 14);
    connect(button, &QPushButton::clicked, this, [this] { Press(kButtonForward); });

    run_.onDisplay = [this](const ProgressView& view) { Display(view); };
    run_.onEnded = [this](ProgressOutcome outcome) { Ended(outcome); };
}

void CProgressDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (started_) return;
    started_ = true;
    findChild<QProgressBar*>(ControlName(kProgressBar))->setRange(0, run_.View().range);
    if (!run_.Start()) return;
    findChild<QPushButton*>(ControlName(kButtonForward))->setText(kCancelText);
    // A long path keeps its start and its file name; the whole path is the label's tip.
    auto* destination = findChild<QLabel*>(ControlName(kDestinationText));
    const QString path = QString::fromStdString(state_.destination);
    destination->setText(
        destination->fontMetrics().elidedText(path, Qt::ElideMiddle, destination->width()));
    destination->setToolTip(path);
    Display(run_.View());
    setWindowTitle(QString::fromStdString(state_.stepCaption));
}

void CProgressDialog::Display(const ProgressView& view) {
    auto* bar = findChild<QProgressBar*>(ControlName(kProgressBar));
    bar->setRange(0, view.range);
    bar->setValue(view.value);
    findChild<QLabel*>(ControlName(kSavedText))->setText(QString::fromStdString(view.saved));
    findChild<QLabel*>(ControlName(kPercentText))->setText(QString::fromStdString(view.percent));
}

void CProgressDialog::Ended(ProgressOutcome outcome) {
    auto* button = findChild<QPushButton*>(ControlName(kButtonForward));
    button->setText(kDoneText);
    button->setEnabled(true);
    if (outcome == ProgressOutcome::Stopped && pressed_ != 0) {
        done(pressed_);
        return;
    }
    if (state_.autoClose == 1) done(kButtonForward);
}

void CProgressDialog::Press(int button) {
    switch (run_.CurrentPhase()) {
        case CProgressRun::Phase::Running:
            pressed_ = button;
            findChild<QPushButton*>(ControlName(kButtonForward))->setEnabled(false);
            run_.Stop();
            break;
        case CProgressRun::Phase::Stopping:
            break;
        default:
            done(button);
    }
}

void CProgressDialog::reject() { Press(kButtonCancel); }

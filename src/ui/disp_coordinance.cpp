#include "ui/disp_coordinance.h"

#include <QApplication>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

#include "analysis/reports.h"
#include "drawing/view.h"
#include "model/numbers.h"
#include "model/text.h"
#include "platform/qt_text.h"

namespace kestro {

Tfdisp_coordinance::Tfdisp_coordinance(StructureModel& model, const ViewPoints& view, Messages* messages,
                                       QWidget* parent)
    : ReportWindow(model, messages, EnvironmentReportName, parent), view_(view)
{
    setWindowTitle(QStringLiteral("Distances & Angles around the atom"));
    move(460, 0);
    radius_ = new QLineEdit(this);
    radius_->setFixedWidth(70);
    text_ = new QPlainTextEdit(this);
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setFont(report_font());
    auto* compute = new QPushButton(QStringLiteral("Compute the distances and angles"), this);
    auto* edit = new QPushButton(QStringLiteral("Edit/Print the results"), this);
    auto* copy = new QPushButton(QStringLiteral("Copy"), this);
    copy->setToolTip(QStringLiteral("Copy the selected lines to the clipboard"));
    auto* back = new QPushButton(QStringLiteral("Return"), this);
    // A click on a button leaves the focus in the Radius field, so that
    // "Return" does not compute on its way out.
    for (QPushButton* b : {compute, edit, copy, back}) {
        b->setAutoDefault(false);
        b->setFocusPolicy(Qt::TabFocus);
    }
    // Enter, or leaving the field for another of the window, computes again
    // whether or not the text was changed (Qt's editingFinished waits for a change).
    connect(radius_, &QLineEdit::returnPressed, this, &Tfdisp_coordinance::calcule);
    radius_->installEventFilter(this);
    connect(compute, &QPushButton::clicked, this, &Tfdisp_coordinance::calcule);
    connect(edit, &QPushButton::clicked, this, &Tfdisp_coordinance::edit_liste);
    connect(copy, &QPushButton::clicked, this, &Tfdisp_coordinance::copy_clipboard);
    connect(back, &QPushButton::clicked, this, &Tfdisp_coordinance::sortie);

    auto* field = new QHBoxLayout;
    field->addWidget(new QLabel(QStringLiteral("Radius:"), this));
    field->addWidget(radius_);
    field->addWidget(new QLabel(QStringLiteral("\u00c5"), this));
    field->addWidget(compute);
    field->addStretch(1);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {edit, copy, back}) buttons->addWidget(b);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(field);
    layout->addWidget(text_);
    layout->addLayout(buttons);
    layout->addWidget(status_line());
    resize(460, 480);
}

Tfdisp_coordinance::~Tfdisp_coordinance() = default;

void Tfdisp_coordinance::set_centre(int atom)
{
    centre_ = atom;
    if (isVisible()) initialise();
    show();
    raise();
    activateWindow();
}

void Tfdisp_coordinance::showEvent(QShowEvent* event)
{
    if (!event->spontaneous()) initialise();
    ReportWindow::showEvent(event);
}

void Tfdisp_coordinance::changeEvent(QEvent* event)
{
    // Left for another window of the program (not for its own message box,
    // nor for another program such as the editor): as "Return", except that
    // the drawing keeps choosing centres.
    if (event->type() == QEvent::ActivationChange && !isActiveWindow() && isVisible()) {
        QTimer::singleShot(0, this, [this] {
            QWidget* active = QApplication::activeWindow();
            if (!active || active == this || isAncestorOf(active) || active->parentWidget() == this) return;
            if (QApplication::activeModalWidget()) return;
            delete_report_file();
            hide();
        });
    }
    ReportWindow::changeEvent(event);
}

void Tfdisp_coordinance::reject() { sortie(); }

bool Tfdisp_coordinance::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == radius_ && event->type() == QEvent::FocusOut) {
        // Not when the window itself loses the focus (another program, a message box).
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::MouseFocusReason)
            calcule();
    }
    return ReportWindow::eventFilter(watched, event);
}

void Tfdisp_coordinance::initialise()
{
    if (centre_ < 1 || centre_ > std::min(model_.generated.count(), view_.atoms)) return;
    setWindowTitle(qs(environment_caption(model_, view_, centre_)));
    text_->clear();
    radius_->setFocus();
}

void Tfdisp_coordinance::calcule()
{
    if (computing_ || centre_ < 1 || centre_ > std::min(model_.generated.count(), view_.atoms)) return;
    computing_ = true;
    radius_->setModified(false);
    text_->setPlainText(QStringLiteral("                Linked atoms"));
    const auto radius = parse_real(trim(ss(radius_->text())));
    if (!radius) {
        messages_->show("Read error");
        radius_->setFocus();
        messages_->beep();
        computing_ = false;
        return;
    }
    const Environment env = environment_report(model_, view_, centre_, *radius);
    QStringList lines;
    for (const std::string& line : env.window_lines) lines << qs(line);
    text_->setPlainText(lines.join(QLatin1Char('\n')));
    write_report_file(env.report);
    computing_ = false;
}

void Tfdisp_coordinance::edit_liste() { edit_report(); }

void Tfdisp_coordinance::copy_clipboard()
{
    if (text_->textCursor().hasSelection()) text_->copy();
}

void Tfdisp_coordinance::sortie()
{
    delete_report_file();
    hide();
    emit returned();
}

} // namespace kestro

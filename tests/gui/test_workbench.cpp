// The drawing window as a workbench, driven with mouse events offscreen on
// the cell contents of rutile: a distance picked on the picture, a masked
// rectangle, the mask window, label placing, the translation panel and
// the orientation dialog.
#include <QtTest>

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QToolBar>
#include <deque>
#include <memory>

#include "crystal/bonds.h"
#include "crystal/generation.h"
#include "crystal/operators.h"
#include "drawing/drawing_state.h"
#include "drawing/interaction.h"
#include "formats/kes.h"
#include "forms/mainmenu.h"
#include "model/fields.h"
#include "model/labels.h"
#include "ui/dessin.h"
#include "ui/limat.h"
#include "ui/mask_element.h"

using namespace kestro;
using namespace kestro::mainmenu;

namespace {

class ScriptedMessages : public Messages {
public:
    void show(const std::string& text) override { shown.push_back(text); }
    Answer ask(const std::string& text) override
    {
        asked.push_back(text);
        if (answers.empty()) return Answer::No;
        const Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::vector<std::string> shown, asked;
    std::deque<Answer> answers;
};

// Rutile's cell contents (9 Ti, 6 O) in the drawing window.
struct Fixture {
    std::unique_ptr<StructureModel> model = std::make_unique<StructureModel>();
    ScriptedMessages messages;
    std::unique_ptr<Tfdessin> window;

    Fixture()
    {
        model->data_directory = KESTRO_SOURCE_DATA_DIR;
        if (!load_ascii_structure(*model, KESTRO_TEST_DATA_DIR "/../../examples/rutile.kes", messages)) return;
        OperatorGrid grid;
        fill_operator_grid(*model, grid);
        on_click_checklistbox(*model, grid, messages, 4, true); // "Cell contents"
        if (!generer(*model, messages) || !liaisons(*model, messages)) return;
        window = std::make_unique<Tfdessin>(*model, &messages);
        window->copy_to_clipboard = [](const QImage&) {};
        window->show();
        window->new_picture();
    }

    QWidget* picture() const { return window->picture_widget(); }
    QPoint at(int atom) const
    {
        const PixelPoint p = point_pixel(window->drawing_state(), atom);
        return {p.x, p.y};
    }
    // An atom that a click on its own pixel picks.
    bool pickable(int atom) const
    {
        return hit_test(*model, window->drawing_state(), {at(atom).x(), at(atom).y()}) == atom;
    }
};

void send_mouse(QWidget* widget, QEvent::Type type, Qt::MouseButton button, QPoint point)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent event(type, QPointF(point), widget->mapToGlobal(QPointF(point)),
                      type == QEvent::MouseMove ? Qt::NoButton : button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void click(QWidget* widget, QPoint point, Qt::MouseButton button = Qt::LeftButton)
{
    send_mouse(widget, QEvent::MouseButtonPress, button, point);
    send_mouse(widget, QEvent::MouseButtonRelease, button, point);
}

void drag(QWidget* widget, QPoint from, QPoint to)
{
    send_mouse(widget, QEvent::MouseButtonPress, Qt::LeftButton, from);
    for (int k = 1; k <= 4; ++k) send_mouse(widget, QEvent::MouseMove, Qt::LeftButton, from + (to - from) * k / 4);
    send_mouse(widget, QEvent::MouseButtonRelease, Qt::LeftButton, to);
}

QAction* tool(Tfdessin& window, const QString& hint)
{
    for (QToolBar* bar : window.findChildren<QToolBar*>())
        for (QAction* action : bar->actions())
            if (action->toolTip() == hint) return action;
    return nullptr;
}

} // namespace

class TestWorkbench : public QObject {
    Q_OBJECT

private slots:
    void init() { qputenv("KESTRO_DATA", KESTRO_SOURCE_DATA_DIR); }

    void distance_between_two_clicked_atoms()
    {
        Fixture f;
        QVERIFY(f.window);
        Tfdessin& w = *f.window;
        // A Ti-O bond whose two atoms a click can reach.
        const BondRecord* bond = nullptr;
        for (const BondRecord& b : f.model->bonds)
            if (f.pickable(b.atom1) && f.pickable(b.atom2)) {
                bond = &b;
                break;
            }
        QVERIFY(bond);
        tool(w, QStringLiteral("Dispay a bond length"))->trigger();
        QCOMPARE(w.prompt_text(), QStringLiteral("To dispaly a bond length: Click on two atoms. (Click on the right button to stop)"));
        QVERIFY(w.labels_centre_box()->isChecked());
        click(f.picture(), f.at(bond->atom1));
        QCOMPARE(w.prompt_text(), QStringLiteral("Click on the second atom. Right button to cancel"));
        click(f.picture(), f.at(bond->atom2) + QPoint(1, -1));
        const std::string expected = "Distance " + f.model->generated[bond->atom1].label.str() + "-" +
                                     f.model->generated[bond->atom2].label.str() + " =" +
                                     fmt_real(bond->length, 7, 3) +
                                     " (Click on the right button to end or click again on a first atom to continue)";
        QCOMPARE(w.prompt_text(), QString::fromStdString(expected));
        // The picked atoms carry red marks.
        const QPoint mark = f.at(bond->atom2);
        QCOMPARE(w.picture().pixelColor(mark * w.picture().devicePixelRatio()), QColor(Qt::red));

        click(f.picture(), {5, 5}, Qt::RightButton);
        QVERIFY(w.prompt_text().isEmpty());
        QVERIFY(!w.labels_centre_box()->isChecked());
        QCOMPARE(w.mouse_mode(), 1);
    }

    void mask_rectangle_answered_yes_hides_exactly_the_atoms_inside()
    {
        Fixture f;
        Tfdessin& w = *f.window;
        const int side = w.picture_side();
        const QPoint from(side / 4, side / 4), to(side / 2 + 3, side / 2 + 3);
        std::vector<int> inside;
        for (int i = 1; i <= f.model->generated.count(); ++i) {
            const QPoint p = f.at(i);
            if (p.x() >= from.x() && p.x() <= to.x() && p.y() >= from.y() && p.y() <= to.y()) inside.push_back(i);
        }
        QVERIFY(!inside.empty() && int(inside.size()) < f.model->generated.count());
        tool(w, QStringLiteral("Mask atoms in a rectangle"))->trigger();
        QCOMPARE(w.mouse_mode(), 0);
        f.messages.answers = {Answer::Yes};
        drag(f.picture(), from, to);
        QCOMPARE(f.messages.asked.back(), std::string("Do you want to delete the windows contents?"));
        for (int i = 1; i <= f.model->generated.count(); ++i) {
            const bool hidden = std::find(inside.begin(), inside.end(), i) != inside.end();
            QCOMPARE(f.model->generated[i].shown, hidden ? 0 : 1);
        }
        QCOMPARE(w.mouse_mode(), 1);
        QVERIFY(w.prompt_text().isEmpty());
    }

    void mask_window_hides_an_element()
    {
        Fixture f;
        Tfdessin& w = *f.window;
        tool(w, QStringLiteral("Mask elements"))->trigger();
        Tfmask_element* mask = w.mask_window();
        QVERIFY(mask->isVisible());
        QCOMPARE(mask->windowTitle(), QStringLiteral("Mask elements"));
        int oxygen = 0;
        for (int row = 1; row <= f.model->element_sorts.count(); ++row)
            if (symbol_key(f.model->element_sorts[row].symbol.view()) == "O") oxygen = row;
        QVERIFY(oxygen > 0);
        mask->on_click(oxygen);
        QCOMPARE(mask->grid()->item(oxygen, 0)->background().color(), QColor(0xFF, 0xCB, 0xEE));
        mask->ok_button()->click();
        QVERIFY(!mask->isVisible());
        for (const AtomRecord& atom : f.model->generated)
            QCOMPARE(atom.shown, element_symbol(atom.label.view()) == "O" ? 0 : 1);
        // Reopened, it shows no marks; the atoms stay hidden.
        w.masque_elements();
        QVERIFY(!mask->grid()->item(oxygen, 0)->text().contains('*'));
    }

    void labels_placed_with_the_labelling_tools()
    {
        Fixture f;
        Tfdessin& w = *f.window;
        w.labels_off_centre_box()->click();
        QVERIFY(w.labelling_panel()->isVisible());
        QListWidget* tools = w.label_tools();
        QCOMPARE(tools->count(), 11);
        QCOMPARE(tools->item(1)->text(), QStringLiteral("Write a label off centre"));
        w.click_on_checklistbox(1);
        QVERIFY(w.label_instructions()->isVisible());
        QCOMPARE(tools->item(1)->checkState(), Qt::Checked);
        int atom = 1;
        while (!f.pickable(atom)) ++atom;
        click(f.picture(), f.at(atom));
        QVERIFY(w.label_entry()->isVisible());
        QCOMPARE(w.label_box()->text(), QString::fromStdString(f.model->display_labels[atom].str()));
        w.label_box()->setText(QStringLiteral("Ti(c)"));
        click(f.picture(), f.at(atom) + QPoint(30, -20));
        QVERIFY(!w.label_entry()->isVisible());
        QCOMPARE(f.model->display_labels[atom].str(), std::string("Ti(c)"));
        QVERIFY(f.model->generated[atom].label_dx != 0 && f.model->generated[atom].label_dy != 0);

        // Another item waits for the right button; Close hides the panel.
        w.click_on_checklistbox(4);
        QCOMPARE(f.messages.shown.back(), std::string("Stop first the current process (click the right button)"));
        click(f.picture(), {5, 5}, Qt::RightButton);
        QCOMPARE(tools->item(1)->checkState(), Qt::Unchecked);
        QVERIFY(!w.label_instructions()->isVisible());

        // The last item places the labels of every atom when none is
        // labelled, as moved labels.
        w.click_on_checklistbox(4); // Delete all labels
        QCOMPARE(tools->item(10)->text(), QStringLiteral("Place the labels automatically"));
        w.click_on_checklistbox(10);
        QVERIFY(w.labels_off_centre_box()->isChecked());
        int labelled = 0;
        for (const AtomRecord& a : f.model->generated) labelled += a.labelled;
        QVERIFY(labelled > 0);
        w.close_labelling();
        QVERIFY(!w.labelling_panel()->isVisible());
    }

    void translation_panel_moves_the_fragment()
    {
        Fixture f;
        Tfdessin& w = *f.window;
        tool(w, QStringLiteral("Set translation"))->trigger();
        const int side = w.picture_side();
        drag(f.picture(), {1, 1}, {side - 2, side - 2});
        QVERIFY(w.translation_panel()->isVisible());
        auto boxes = w.translation_boxes();
        boxes[2]->setText(QStringLiteral("1.5"));
        w.ok_translation();
        QCOMPARE(f.messages.shown.back(), std::string("'1.5' is not a valid integer value"));
        QVERIFY(w.translation_panel()->isVisible());
        const Vec3 before = f.model->generated[1].xyz;
        boxes[2]->setText(QStringLiteral("1"));
        w.ok_translation();
        QVERIFY(!w.translation_panel()->isVisible());
        QCOMPARE(f.model->generated[1].xyz[2], before[2] + 1);
    }

    void orientation_dialog()
    {
        Fixture f;
        Tfdessin& w = *f.window;
        tool(w, QStringLiteral("Orientation "))->trigger();
        Tflimat* dialog = w.orientation_dialog();
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->field(0, 0)->text(), QStringLiteral("0"));
        // View Z along a: [1 0 0] Direct in the Z row.
        dialog->field(2, 0)->setText(QStringLiteral("1"));
        dialog->set_space(2, AxisSpace::Direct);
        dialog->field(1, 1)->setText(QStringLiteral("1,5"));
        dialog->verifie();
        QCOMPARE(f.messages.shown.back(), std::string("Type error"));
        QVERIFY(dialog->field(1, 1)->text().isEmpty());
        dialog->ok_button()->click();
        QVERIFY(!dialog->isVisible());
        const Mat3& T = f.model->cell.metric.T;
        QVERIFY(std::abs(T[2][0] - f.model->cell.a) < 1e-3); // a points at the viewer
        QCOMPARE(w.direction_boxes()[0].trimmed(), QStringLiteral("1.00000"));
    }

    void activation_draws_afresh_and_keeps_the_edits()
    {
        Fixture f;
        Tfdessin& w = *f.window;
        ScreenMap& screen = w.drawing_state().screen;
        const int centre = w.picture_side() / 2;
        const auto activate = [&] {
            QEvent event(QEvent::WindowActivate);
            QApplication::sendEvent(&w, &event);
            QCoreApplication::processEvents();
        };
        w.set_mode_rotation(3);
        drag(f.picture(), {100, 100}, {140, 100});
        w.scale_slider()->setValue(5);
        f.model->edit.data_changed = 1; // an edit in the main window
        w.skip_next_activation();        // as the printing window asks
        activate();
        QCOMPARE(screen.x0, centre + 40);
        activate();
        QCOMPARE(screen.x0, centre);
        QCOMPARE(screen.f, 2.0);
        QCOMPARE(w.mouse_mode(), 1);
        QCOMPARE(f.model->edit.data_changed, 1);
    }
};

QTEST_MAIN(TestWorkbench)
#include "test_workbench.moc"

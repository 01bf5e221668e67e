// The drawing window on the golden structure, run offscreen: mouse
// rotation and zoom, the scale, the option panel, picture files and the
// structure file, reset, and the main window showing it after a plot.
#include <QtTest>

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QSlider>
#include <QTableWidget>
#include <QToolBar>
#include <cmath>
#include <deque>
#include <memory>

#include "drawing/drawing_state.h"
#include "formats/kes.h"
#include "model/file_io.h"
#include "model/structure_model.h"
#include "output/povray_scene.h"
#include "ui/dessin.h"
#include "ui/mainmenu.h"
#include "ui/wmetafile2.h"

using namespace kestro;

namespace {

const QString Golden = QStringLiteral(KESTRO_TEST_DATA_DIR "/golden.kes");

// Records every message; questions are answered from a script (No when
// the script is empty).
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
    void beep() override { ++beeps; }
    void busy(bool on) override { depth += on ? 1 : -1; }

    std::vector<std::string> shown, asked;
    std::deque<Answer> answers;
    int beeps = 0;
    int depth = 0;
};

// The window on the golden structure, shown and activated.
struct Fixture {
    std::unique_ptr<StructureModel> model = std::make_unique<StructureModel>();
    ScriptedMessages messages;
    std::unique_ptr<Tfdessin> window;
    int clipboard_copies = 0;

    Fixture()
    {
        model->data_directory = KESTRO_SOURCE_DATA_DIR;
        if (!load_ascii_structure(*model, Golden.toStdString(), messages)) return;
        window = std::make_unique<Tfdessin>(*model, &messages);
        window->copy_to_clipboard = [this](const QImage&) { ++clipboard_copies; };
        window->show();
        window->initialise_fiche();
    }
};

void send_mouse(QWidget* widget, QEvent::Type type, Qt::MouseButton button, QPoint point)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent event(type, QPointF(point), widget->mapToGlobal(QPointF(point)),
                      type == QEvent::MouseMove ? Qt::NoButton : button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// Press, moves in steps of `step` pixels, release.
void drag(QWidget* widget, Qt::MouseButton button, QPoint from, QPoint to, int steps)
{
    send_mouse(widget, QEvent::MouseButtonPress, button, from);
    for (int k = 1; k <= steps; ++k) send_mouse(widget, QEvent::MouseMove, button, from + (to - from) * k / steps);
    send_mouse(widget, QEvent::MouseButtonRelease, button, to);
}

QAction* tool(Tfdessin& window, const QString& hint)
{
    for (QToolBar* bar : window.findChildren<QToolBar*>())
        for (QAction* action : bar->actions())
            if (action->toolTip() == hint) return action;
    return nullptr;
}

QAction* menu_item(Tfdessin& window, const QString& text)
{
    for (QAction* action : window.export_menu()->actions())
        if (action->text() == text) return action;
    return nullptr;
}

std::vector<QColor> grid_colours(const QTableWidget* grid)
{
    std::vector<QColor> colours;
    for (int row = 0; row < grid->rowCount(); ++row) colours.push_back(grid->item(row, 1)->background().color());
    return colours;
}

} // namespace

class TestDessin : public QObject {
    Q_OBJECT

private slots:
    void init() { qputenv("KESTRO_DATA", KESTRO_SOURCE_DATA_DIR); }

    void activation_fills_the_panel()
    {
        Fixture f;
        QVERIFY(f.window);
        Tfdessin& w = *f.window;
        QCOMPARE(w.mouse_mode(), 1);
        QCOMPARE(w.picture().deviceIndependentSize().toSize(), QSize(w.picture_side(), w.picture_side()));
        // The golden file was saved in black and white: activation undoes it.
        QVERIFY(!w.black_white_box()->isChecked());
        QCOMPARE(f.model->drawing.black_white, 0);
        const auto texts = direction_texts(*f.model);
        const auto boxes = w.direction_boxes();
        for (std::size_t i = 0; i < 3; ++i) QCOMPARE(boxes[i], QString::fromStdString(texts[i]));
        QCOMPARE(w.colour_grid()->rowCount(), f.model->element_sorts.count() + 2);
        QCOMPARE(w.colour_grid()->item(0, 0)->text(), QStringLiteral("BackGrd"));
        QCOMPARE(w.colour_grid()->item(1, 0)->text(), QStringLiteral("Bonds"));
        QCOMPARE(w.colour_grid()->item(3, 0)->text(), QStringLiteral("Cl"));
        // ... and keeps the colours stored in the file.
        QCOMPARE(w.colour_grid()->item(2, 1)->background().color(), QColor(0x80, 0x80, 0x80));
        QCOMPARE(w.colour_grid()->item(3, 1)->background().color(), QColor(0x00, 0x80, 0x80));
        QCOMPARE(w.colour_grid()->item(4, 1)->background().color(), QColor(0x00, 0xFF, 0x00));
        QCOMPARE(w.colour_grid()->item(1, 1)->background().color(), QColor(0xFF, 0xFF, 0x00));
        QCOMPARE(f.clipboard_copies, 1);
        QCOMPARE(f.messages.depth, 0);
        QVERIFY(f.messages.shown.empty());
    }

    void rotation_drag_turns_the_view_and_copies_once_at_rest()
    {
        Fixture f;
        Tfdessin& w = *f.window;
        const Mat3 before = f.model->cell.metric.T;
        const int copies = f.clipboard_copies;
        QWidget* picture = w.picture_widget();
        const QPoint from(150, 200), to(250, 200);
        send_mouse(picture, QEvent::MouseButtonPress, Qt::LeftButton, from);
        for (int k = 1; k <= 10; ++k)
            send_mouse(picture, QEvent::MouseMove, Qt::LeftButton, from + QPoint(10 * k, 0));
        QCOMPARE(f.clipboard_copies, copies); // no copy per step
        send_mouse(picture, QEvent::MouseButtonRelease, Qt::LeftButton, to);
        QCOMPARE(f.clipboard_copies, copies + 1);

        // 100 pixels to the right: 1 radian about view Y.
        const double c = std::cos(1.0), s = std::sin(1.0);
        const Mat3 ry{{{c, 0, s}, {0, 1, 0}, {-s, 0, c}}};
        const Mat3& after = f.model->cell.metric.T;
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) {
                double expected = 0;
                for (int k = 0; k < 3; ++k) expected += ry[i][k] * before[k][j];
                QVERIFY2(std::abs(after[i][j] - expected) < 1e-9, qPrintable(QString("T[%1][%2]").arg(i).arg(j)));
            }
        // Colour gradation does not survive a rotation.
        QCOMPARE(f.model->drawing.colour_gradation, 0);
        const auto texts = direction_texts(*f.model);
        QCOMPARE(w.direction_boxes()[2], QString::fromStdString(texts[2]));
    }

    void translation_moves_the_origin_until_reset()
    {
        Fixture f;
        Tfdessin& w = *f.window;
        ScreenMap& screen = w.drawing_state().screen;
        const int centre = w.picture_side() / 2;
        QCOMPARE(screen.x0, centre);
        w.set_mode_rotation(3);
        const Mat3 T = f.model->cell.metric.T;
        drag(w.picture_widget(), Qt::LeftButton, {100, 100}, {130, 120}, 3);
        QCOMPARE(screen.x0, centre + 30);
        QCOMPARE(screen.y0, centre + 20);
        QCOMPARE(f.model->cell.metric.T, T);
        w.reset_child();
        QCOMPARE(screen.x0, centre);
        QCOMPARE(screen.y0, centre);
        QCOMPARE(w.mouse_mode(), 1);
    }

    void the_window_fits_the_screen()
    {
        Fixture f;
        Tfdessin& w = *f.window;
        QCoreApplication::processEvents();
        const QSize least = w.minimumSizeHint();
        // Offscreen the screen is 800 pixels wide: the compact window.
        QCOMPARE(w.picture_side(), 510);
        QVERIFY2(least.width() <= 798 && least.height() <= 570, qPrintable(QString("%1 x %2").arg(least.width()).arg(least.height())));
        // The full picture of a 1024 x 768 screen leaves room for the frame.
        const int grow = 686 - w.picture_side();
        QVERIFY(least.width() + grow <= 1000);
        QVERIFY(least.height() + grow <= 730);
    }

    void the_picture_grows_and_shrinks_with_the_window()
    {
        Fixture f;
        Tfdessin& w = *f.window;
        QCoreApplication::processEvents();
        DrawingState& state = w.drawing_state();
        w.scale_slider()->setValue(5); // a zoom that the new size keeps
        const int side = w.picture_side();
        const double s = state.screen.s;
        const PixelPoint atom = point_pixel(state, 1);
        w.resize(w.width() - 120, w.height());
        QCoreApplication::processEvents();
        const int smaller = w.picture_side();
        QCOMPARE(smaller, side - 120);
        // Drawn at the screen's resolution (QT_SCALE_FACTOR=2 gives twice the pixels).
        QCOMPARE(qRound(w.picture().deviceIndependentSize().width()), smaller);
        QCOMPARE(w.picture().width(), qRound(smaller * w.picture().devicePixelRatio()));
        QCOMPARE(state.screen.x0, smaller / 2);
        QCOMPARE(state.screen.f, 2.0);
        QVERIFY(std::abs(state.screen.s / s - double((smaller - 10) / 2) / ((side - 10) / 2)) < 1e-12);
        // The atom keeps its place relative to the picture.
        const PixelPoint moved = point_pixel(state, 1);
        QVERIFY(std::abs((moved.x - smaller / 2) - (atom.x - side / 2) * state.screen.s / s) <= 1);
        // The mouse works on the new picture: a rotation turns the view.
        const Mat3 T = f.model->cell.metric.T;
        drag(w.picture_widget(), Qt::LeftButton, {smaller - 30, 100}, {smaller - 10, 110}, 2);
        QVERIFY(f.model->cell.metric.T != T);
    }

    void scale_and_zoom()
    {
        Fixture f;
        Tfdessin& w = *f.window;
        DrawingState& state = w.drawing_state();
        w.scale_slider()->setValue(-4);
        QCOMPARE(state.screen.f, 0.2);
        QCOMPARE(w.zoom_box()->text(), QStringLiteral(" X 0.2"));
        QCOMPARE(state.screen.s, 0.2 * state.screen.s0);
        w.scale_slider()->setValue(10);
        QCOMPARE(state.screen.f, 3.0);
        QCOMPARE(w.zoom_box()->text(), QStringLiteral(" X 3.0"));

        w.reset_zoom();
        QCOMPARE(state.screen.f, 1.0);
        QCOMPARE(w.scale_slider()->value(), 0);
        QCOMPARE(w.zoom_box()->text(), QStringLiteral("X 1.00"));

        // Zoom rectangle of 100 x 50 pixels: the longer side fills the picture.
        tool(w, QStringLiteral("Zoop in"))->trigger();
        QCOMPARE(w.mouse_mode(), 0);
        QCOMPARE(w.prompt_text(), QStringLiteral("Zoom. Click and drag the area of interest "));
        const Mat3 T = f.model->cell.metric.T;
        drag(w.picture_widget(), Qt::LeftButton, {200, 150}, {100, 200}, 5);
        QCOMPARE(f.model->cell.metric.T, T); // no rotation in the zoom mode
        const double expected = w.picture_side() / 100.0;
        QVERIFY(std::abs(state.screen.f - expected) < 1e-9);
        QCOMPARE(w.zoom_box()->text(), QString::fromStdString(zoom_text_from_rectangle(state.screen.f)));
        QCOMPARE(w.scale_slider()->value(), std::min(10, int(std::lround(5 * expected - 5))));
        QVERIFY(w.prompt_text().isEmpty());

        tool(w, QStringLiteral("Zoop out"))->trigger();
        QCOMPARE(state.screen.f, 1.0);
        QCOMPARE(w.mouse_mode(), 1);
        QCOMPARE(w.zoom_box()->text(), QStringLiteral("X 1.00"));

        // The right button ends a pending zoom.
        w.set_zoom();
        send_mouse(w.picture_widget(), QEvent::MouseButtonPress, Qt::RightButton, {10, 10});
        send_mouse(w.picture_widget(), QEvent::MouseButtonRelease, Qt::RightButton, {10, 10});
        QCOMPARE(w.mouse_mode(), 1);
        QVERIFY(w.prompt_text().isEmpty());
        drag(w.picture_widget(), Qt::LeftButton, {100, 100}, {140, 100}, 4);
        QCOMPARE(state.screen.f, 1.0);
    }

    void option_boxes_that_are_not_numbers()
    {
        Fixture f;
        Tfdessin& w = *f.window;
        w.bond_width_box()->setText(QStringLiteral("0,05"));
        w.redessine();
        QCOMPARE(f.messages.shown, std::vector<std::string>{"Read error!"});
        QCOMPARE(w.focusWidget(), static_cast<QWidget*>(w.bond_width_box()));
        QCOMPARE(f.model->drawing.bond_width, 0.06);

        w.bond_width_box()->setText(QStringLiteral(" 0.06"));
        w.perspective_box()->setText(QString());
        w.redessine();
        QCOMPARE(f.messages.shown.back(), std::string("Read Error!"));
        QCOMPARE(w.focusWidget(), static_cast<QWidget*>(w.perspective_box()));

        // The track bars write the boxes.
        w.perspective_box()->setText(QStringLiteral("6.00"));
        w.change_width_bond(5);
        QCOMPARE(w.bond_width_box()->text(), QStringLiteral(" 0.05"));
        QCOMPARE(f.model->drawing.bond_width, 0.05);
        w.chane_angle_perspective(7);
        QCOMPARE(w.perspective_box()->text(), QStringLiteral("14.00"));
        QCOMPARE(f.model->drawing.bond_perspective, 14.0);
        QCOMPARE(f.messages.shown.size(), std::size_t(2));
    }

    void exclusive_options_probability_and_help()
    {
        Fixture f;
        Tfdessin& w = *f.window;
        StructureModel& m = *f.model;
        w.planes_box()->click();
        w.planes_axes_box()->click();
        QVERIFY(!w.planes_box()->isChecked());
        QCOMPARE(m.drawing.draw_planes, 0);
        QCOMPARE(m.drawing.draw_planes_axes, 1);

        // Labels in centre: every shown atom labelled at its centre.
        m.generated[1].label_dx = 0.5;
        m.generated[1].label_dy = -1.25;
        w.labels_centre_box()->click();
        QVERIFY(!w.labels_off_centre_box()->isChecked());
        QCOMPARE(m.drawing.labels_centre, 1);
        QCOMPARE(m.generated[1].label_dx, 0.0);
        QCOMPARE(m.generated[1].labelled, 1);
        w.labels_off_centre_box()->click();
        QVERIFY(!w.labels_centre_box()->isChecked());
        QCOMPARE(m.drawing.labels_off_centre, 1);

        // A new probability gives new ellipsoids and a new base scale.
        const double s0 = w.drawing_state().screen.s0;
        w.probability_list()->setCurrentRow(9);
        QCOMPARE(m.drawing.probability_index, 10);
        QVERIFY(w.drawing_state().screen.s0 < s0);

        int context = 0;
        w.open_help = [&](int c) { context = c; };
        tool(w, QStringLiteral("Help"))->trigger();
        QCOMPARE(context, 3);
        QVERIFY(f.messages.shown.empty());
    }

    void black_and_white_and_back()
    {
        Fixture f;
        Tfdessin& w = *f.window;
        const auto colours = grid_colours(w.colour_grid());
        const Colour background = f.model->drawing.background_colour;
        const Colour bonds = f.model->drawing.bond_colour;
        w.black_white_box()->click();
        QCOMPARE(f.model->drawing.black_white, 1);
        for (const QColor& colour : grid_colours(w.colour_grid())) QCOMPARE(colour, QColor(Qt::white));
        w.black_white_box()->click();
        QCOMPARE(f.model->drawing.black_white, 0);
        QCOMPARE(grid_colours(w.colour_grid()), colours);
        QCOMPARE(f.model->drawing.background_colour, background);
        QCOMPARE(f.model->drawing.bond_colour, bonds);

        // A colour chosen in black and white ends it, keeping the new colour.
        w.black_white_box()->click();
        w.choose_colour = [](Colour, Colour& chosen) {
            chosen = 0x0000FF;
            return true;
        };
        w.selection_couleur(2); // first element sort
        QVERIFY(!w.black_white_box()->isChecked());
        QCOMPARE(f.model->element_sorts[1].colour, Colour(0x0000FF));
        QCOMPARE(f.model->drawing.background_colour, background);
        QCOMPARE(w.colour_grid()->item(2, 1)->background().color(), QColor(Qt::red));
        QCOMPARE(w.colour_grid()->item(3, 1)->background().color(), colours[3]);
    }

    void picture_files()
    {
        Fixture f;
        Tfdessin& w = *f.window;
        QTemporaryDir dir;
        QString filter;
        QString name = dir.filePath("picture");
        w.choose_save_file = [&](const QString&, QString& selected) {
            filter = selected;
            return name;
        };
        menu_item(w, QStringLiteral("&Bitmap format (*.bmp)"))->trigger();
        QCOMPARE(filter, QStringLiteral("Bitmap format  (*.bmp)"));
        QImage bitmap(dir.filePath("picture.bmp"), "BMP");
        QCOMPARE(bitmap.size(), QSize(w.picture_side(), w.picture_side()));

        menu_item(w, QStringLiteral("&JPEG format (*.jpg)"))->trigger();
        QCOMPARE(filter, QStringLiteral("JPEG format (*.jpg)"));
        QVERIFY(!QImage(dir.filePath("picture.jpg"), "JPG").isNull());
        QVERIFY(f.messages.asked.empty());

        // A name with a dot is kept; the menu item decides the format.
        name = dir.filePath("picture.png");
        menu_item(w, QStringLiteral("&Bitmap format (*.bmp)"))->trigger();
        QCOMPARE(read_file_bytes(name.toStdString()).substr(0, 2), std::string("BM"));

        // Only Yes replaces an existing file.
        const std::string before = read_file_bytes(name.toStdString());
        for (Answer answer : {Answer::No, Answer::Cancel}) {
            f.messages.answers = {answer};
            menu_item(w, QStringLiteral("&JPEG format (*.jpg)"))->trigger();
            QCOMPARE(f.messages.asked.back(), std::string("This file already exists. Do you want to continue?"));
            QCOMPARE(read_file_bytes(name.toStdString()), before);
        }
        f.messages.answers = {Answer::Yes};
        menu_item(w, QStringLiteral("&JPEG format (*.jpg)"))->trigger();
        QVERIFY(read_file_bytes(name.toStdString()) != before);
        QCOMPARE(f.messages.beeps, 3);

        // The metafile entry opens its window, which writes the format chosen.
        menu_item(w, QStringLiteral("Windows MetaFile (*.emf)"))->trigger();
        Tfwmetafile2* metafile = w.metafile_window();
        QVERIFY(metafile->isVisible());
        metafile->choose_file = [&](const QString&, QString& selected) {
            selected = QStringLiteral("SVG picture (*.svg)");
            return dir.filePath("vector");
        };
        metafile->go_metafile();
        QVERIFY(!metafile->isVisible());
        QVERIFY(QString::fromStdString(read_file_bytes(dir.filePath("vector.svg").toStdString())).contains("<svg"));

        // The POV-Ray scene of the picture as it stands, zoomed; from the
        // menu item or the dialog's filter.
        w.scale_slider()->setValue(3);
        name = dir.filePath("scene");
        menu_item(w, QStringLiteral("P&OV-Ray scene (*.pov)"))->trigger();
        QCOMPARE(filter, QStringLiteral("POV-Ray scene (*.pov)"));
        const std::string scene = povray_scene(*f.model, w.drawing_state(), w.picture_side());
        QCOMPARE(read_file_bytes(dir.filePath("scene.pov").toStdString()), scene);
        w.choose_save_file = [&](const QString&, QString& selected) {
            selected = QStringLiteral("POV-Ray scene (*.pov)");
            return dir.filePath("from-dialog");
        };
        menu_item(w, QStringLiteral("&PNG format (*.png)"))->trigger();
        QCOMPARE(read_file_bytes(dir.filePath("from-dialog.pov").toStdString()), scene);
        w.scale_slider()->setValue(0);
        w.choose_save_file = [&](const QString&, QString& selected) {
            filter = selected;
            return name;
        };

        // The picture is written as displayed: a pick mark is in it.
        w.pique_distance();
        const PixelPoint atom = point_pixel(w.drawing_state(), 1);
        send_mouse(w.picture_widget(), QEvent::MouseButtonPress, Qt::LeftButton, {atom.x, atom.y});
        send_mouse(w.picture_widget(), QEvent::MouseButtonRelease, Qt::LeftButton, {atom.x, atom.y});
        name = dir.filePath("marked.bmp");
        menu_item(w, QStringLiteral("&Bitmap format (*.bmp)"))->trigger();
        QCOMPARE(QImage(name, "BMP").pixelColor(atom.x + 2, atom.y), QColor(Qt::red));

        // The dialog's metafile entry opens the metafile window instead.
        metafile->hide();
        w.choose_save_file = [&](const QString&, QString& selected) {
            selected = QStringLiteral("Windows MetaFile format (*.emf)");
            return dir.filePath("through-dialog");
        };
        menu_item(w, QStringLiteral("&Bitmap format (*.bmp)"))->trigger();
        QVERIFY(metafile->isVisible());
        QVERIFY(!QFile::exists(dir.filePath("through-dialog")) && !QFile::exists(dir.filePath("through-dialog.bmp")));
        w.choose_save_file = [&](const QString&, QString& selected) {
            filter = selected;
            return name;
        };

        // A cancelled dialog writes nothing; a failed write says so.
        name.clear();
        menu_item(w, QStringLiteral("&PNG format (*.png)"))->trigger();
        name = dir.filePath("missing/picture");
        menu_item(w, QStringLiteral("&PNG format (*.png)"))->trigger();
        QCOMPARE(f.messages.shown.size(), std::size_t(1));
        QVERIFY(!QFile::exists(name + ".png"));
    }

    void structure_file()
    {
        Fixture f;
        Tfdessin& w = *f.window;
        QTemporaryDir dir;
        QString filter;
        w.choose_save_file = [&](const QString&, QString& selected) {
            filter = selected;
            return dir.filePath("saved");
        };
        tool(w, QStringLiteral("Save Data (.kes)"))->trigger();
        QCOMPARE(filter, QStringLiteral("Export ASCII file (*.kes)"));
        const std::string path = dir.filePath("saved.kes").toStdString();
        QCOMPARE(read_file_bytes(path), ascii_structure_text(*f.model));
        QCOMPARE(f.model->current_file, path);
    }

    void reset_restores_the_generated_atoms()
    {
        Fixture f;
        Tfdessin& w = *f.window;
        StructureModel& m = *f.model;
        w.scale_slider()->setValue(5);
        m.generated[1].xyz = {0.5, 0.5, 0.5};
        for (AtomRecord& atom : m.generated) atom.shown = 0;
        m.bonds.clear();
        tool(w, QStringLiteral("Reset coordinates or masked atoms"))->trigger();
        QCOMPARE(w.drawing_state().screen.f, 1.0);
        QCOMPARE(w.scale_slider()->value(), 0);
        QCOMPARE(w.mouse_mode(), 1);
        for (int i = 1; i <= m.generated.count(); ++i) {
            QCOMPARE(m.generated[i].xyz, m.initial_generated[i].xyz);
            QCOMPARE(m.generated[i].shown, 1);
        }
        // The bonds are searched again: only atoms that exist are joined.
        for (const BondRecord& bond : m.bonds) {
            QVERIFY(bond.atom1 >= 1 && bond.atom1 <= m.generated.count());
            QVERIFY(bond.atom2 >= 1 && bond.atom2 <= m.generated.count());
        }
        QCOMPARE(f.messages.depth, 0);
    }

    void the_main_window_shows_it_after_a_plot()
    {
        auto model = std::make_unique<StructureModel>();
        ScriptedMessages messages;
        Tfmainmenu main(*model, &messages);
        QVERIFY(main.FormCreate({"kestro", Golden}));
        main.show();
        main.trace_ortep(); // reads the start-up file, whose picture is shown
        Tfdessin* drawing = main.drawing_window();
        QVERIFY(drawing);
        QVERIFY(drawing->isVisible());
        drawing->copy_to_clipboard = [](const QImage&) {};
        tool(*drawing, QStringLiteral("Return to main menu"))->trigger();
        model->generated[2].shown = 0;
        main.trace_ortep();
        QCOMPARE(main.drawing_window(), drawing);
        QVERIFY(drawing->isVisible());
        QCOMPARE(drawing->windowTitle(), main.windowTitle());
        QCOMPARE(model->generated[2].shown, 1);
        QCOMPARE(model->initial_generated[2].shown, 1);

        tool(*drawing, QStringLiteral("Return to main menu"))->trigger();
        QVERIFY(!drawing->isVisible());
        main.trace_ortep();
        QCOMPARE(main.drawing_window(), drawing);
        QVERIFY(drawing->isVisible());
        for (const std::string& text : messages.shown) QVERIFY(text.rfind("The file ", 0) == 0);
    }
};

QTEST_MAIN(TestDessin)
#include "test_dessin.moc"

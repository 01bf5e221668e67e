// The main window at start-up, with a start-up file, and its file commands,
// run offscreen with a recorder in place of the message boxes.
#include <QtTest>
#include <QListView>

#include <memory>

#include <QAbstractButton>
#include <QMimeData>
#include <QPushButton>
#include <QTreeWidget>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTableWidget>

#include "../core/recording_messages.h"
#include "formats/structure_files.h"
#include "model/file_io.h"
#include "platform/qt_messages.h"
#include "model/fields.h"
#include "model/text.h"
#include "ui/dessin.h"
#include "ui/efface.h"
#include "ui/boite.h"
#include "ui/typliai.h"
#include "model/structure_model.h"
#include "platform/help_viewer.h"
#include "ui/mainmenu.h"

using namespace kestro;

namespace {
const QString Golden = QStringLiteral(KESTRO_TEST_DATA_DIR "/golden.kes");

// A started window with its working area shown, active, reports in `dir`.
struct Session {
    std::unique_ptr<StructureModel> model = std::make_unique<StructureModel>();
    RecordingMessages messages;
    Tfmainmenu window{*model, &messages};
    QTemporaryDir dir;

    bool start()
    {
        if (!window.FormCreate({"kestro"})) return false;
        model->program_directory = dir.path().toStdString();
        window.data_keyboard();
        window.show();
        window.activateWindow();
        return QTest::qWaitForWindowActive(&window);
    }
    QString cell(int row, int col) const
    {
        const QTableWidgetItem* item = window.atom_grid()->item(row - 1, col);
        return item ? item->text() : QString();
    }
};

// Moves to a cell of a grid (row 1 is the first data row), as the arrow keys would.
void go_to(QTableWidget* grid, int row, int col) { grid->setCurrentCell(row - 1, col); }

// Types into a cell through its editor, replacing what it held; the text is
// committed when the user moves on.
void type_in(QTableWidget* grid, int row, int col, const QString& text)
{
    go_to(grid, row, col);
    QTest::keyClick(grid, Qt::Key_F2);
    QWidget* editor = QApplication::focusWidget();
    QVERIFY(editor && editor != grid);
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(editor, Qt::Key_Backspace);
    if (!text.isEmpty()) QTest::keyClicks(editor, text);
}

// Types into a cell box entered with the mouse.
void type_box(QLineEdit* box, const QString& text)
{
    QTest::mouseClick(box, Qt::LeftButton);
    box->selectAll();
    QTest::keyClicks(box, text);
}

QString text_at(const QTableWidget* grid, int row, int col)
{
    const QTableWidgetItem* item = grid->item(row, col);
    return item ? item->text() : QString();
}

void click_item(QListWidget* list, const QString& text)
{
    const auto found = list->findItems(text, Qt::MatchExactly);
    QVERIFY2(!found.isEmpty(), qPrintable(text));
    list->scrollToItem(found.first());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(found.first()).center());
}

// One operator, the identity, selected: a structure in P1.
void set_p1(Session& s)
{
    s.model->operators.clear();
    s.model->operators.push(SymmetryOperator::identity());
    s.model->selected[1] = 1;
    s.window.show_loaded_structure();
}

void type_atom(QTableWidget* grid, int row, const QStringList& values)
{
    for (int k = 0; k < values.size(); ++k) type_in(grid, row, 1 + k, values[k]);
    go_to(grid, row, 0);
}

void type_orthorhombic_cell(Session& s)
{
    click_item(s.window.system_list(), "Ortho.");
    type_box(s.window.cell_box(1), "5");
    type_box(s.window.cell_box(2), "6");
    type_box(s.window.cell_box(3), "7");
    QTest::mouseClick(s.window.cell_box(1), Qt::LeftButton);
}
} // namespace

class TestMainMenu : public QObject {
    Q_OBJECT

private slots:
    void init() { qputenv("KESTRO_DATA", KESTRO_SOURCE_DATA_DIR); }

    void missing_reference_file_ends_the_start()
    {
        QTemporaryDir empty;
        qputenv("KESTRO_DATA", empty.path().toUtf8());
        auto model = std::make_unique<StructureModel>();
        RecordingMessages messages;
        Tfmainmenu window(*model, &messages);
        QVERIFY(!window.FormCreate({"kestro"}));
        QCOMPARE(messages.shown, std::vector<std::string>{"The file Kestr.hlp was not found!"});

        QFile::copy(QStringLiteral(KESTRO_SOURCE_DATA_DIR "/Kestro.hlp"), empty.filePath("Kestro.hlp"));
        QFile::copy(QStringLiteral(KESTRO_SOURCE_DATA_DIR "/Kestro.cnt"), empty.filePath("Kestro.cnt"));
        RecordingMessages again;
        Tfmainmenu second(*model, &again);
        QVERIFY(!second.FormCreate({"kestro"}));
        QCOMPARE(again.shown, std::vector<std::string>{"The file rayons.cst was not found!"});
    }

    void opens_with_every_reference_file()
    {
        auto model = std::make_unique<StructureModel>();
        RecordingMessages messages;
        Tfmainmenu window(*model, &messages);
        QVERIFY(window.FormCreate({"kestro"}));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.windowTitle(), QStringLiteral("Kestro  V2 (November 15)"));
        QVERIFY(messages.shown.empty());
        QCOMPARE(model->pending_file_name, std::string());
        QCOMPARE(model->drawing.bond_colour, Colour(0x00FFFF));
        QVERIFY(!window.data_panel_visible());
        window.init_active(); // nothing pending: nothing said
        QVERIFY(messages.shown.empty());
    }

    void start_up_file_is_announced_once_and_read_by_the_plot()
    {
        auto model = std::make_unique<StructureModel>();
        RecordingMessages messages;
        Tfmainmenu window(*model, &messages);
        QVERIFY(window.FormCreate({"kestro", Golden}));
        window.init_active();
        window.init_active();
        QCOMPARE(messages.shown.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(messages.shown[0]),
                 QStringLiteral("The file ") + Golden + QStringLiteral(" was loaded. Click on the \"Plot\" Item"));
        QCOMPARE(model->generated.count(), 0); // not read yet

        window.trace_ortep();
        QCOMPARE(model->generated.count(), 2);
        QVERIFY(model->pending_file_name.empty());
        QCOMPARE(window.windowTitle(), QStringLiteral("KESTRO V2. Data for Golden test, P21/c (golden.kes)"));
        QCOMPARE(window.space_group_caption(), QStringLiteral("Space Group: P21/c"));
        QVERIFY(window.data_panel_visible());
    }

    void upper_case_extension_is_recognised_and_the_name_kept()
    {
        QTemporaryDir dir;
        const QString upper = dir.filePath("X.KES");
        QVERIFY(QFile::copy(Golden, upper));
        auto model = std::make_unique<StructureModel>();
        RecordingMessages messages;
        Tfmainmenu window(*model, &messages);
        QVERIFY(window.FormCreate({"kestro", upper}));
        window.init_active();
        QCOMPARE(messages.shown.size(), std::size_t(1));
        window.trace_ortep();
        QCOMPARE(model->asym.count(), 3);
        QCOMPARE(model->ascii_file_name, upper.toStdString());
    }

    void load_and_save_commands()
    {
        QTemporaryDir dir;
        auto model = std::make_unique<StructureModel>();
        RecordingMessages messages;
        Tfmainmenu window(*model, &messages);
        QVERIFY(window.FormCreate({"kestro"}));

        QString offered;
        window.choose_open_file = [&](const QString&, const QString& selected) {
            offered = selected;
            return Golden;
        };
        window.lit_en_ascii();
        QCOMPARE(offered, QStringLiteral("ASCII Kestro file (*.kes)"));
        QCOMPARE(model->asym.count(), 3);

        // A cancelled dialog changes nothing.
        window.choose_open_file = [](const QString&, const QString&) { return QString(); };
        window.lit_en_ascii();
        QCOMPARE(model->asym.count(), 3);

        // The load opens the drawing window, which leaves black and white:
        // the file comes back with that one option cleared.
        QVERIFY(window.drawing_window() && window.drawing_window()->isVisible());
        const std::string options = "  0  1  0  0  0  0  1  0  0  1  0  1  0  1  0  0  0  0  0  0";
        const std::string expected = replace_all(read_file_bytes(Golden.toStdString()), options,
                                                 "  0  1  0  0  0  0  1  0  0  1  0  1  0  0  0  0  0  0  0  0");
        QVERIFY(contains(read_file_bytes(Golden.toStdString()), options));
        const QString target = dir.filePath("saved");
        window.choose_save_file = [&](const QString&, const QString&) { return target; };
        window.Kestrofile2Click();
        QCOMPARE(read_file_bytes((target + ".kes").toStdString()), expected);
        messages.answers = {Answer::No};
        window.choose_save_file = [&](const QString&, const QString&) { return target + ".kes"; };
        model->title = "changed";
        window.Kestrofile2Click();
        QCOMPARE(messages.asked.back(), std::string("This file already exists. Do you want to continue?"));
        QCOMPARE(read_file_bytes((target + ".kes").toStdString()), expected);
        QVERIFY(messages.shown.empty());
    }

    void foreign_files_load_from_the_menus_and_save_as_shelx()
    {
        const QString shared = QStringLiteral(KESTRO_SHARED_TESTDATA_DIR);
        const QString cif = shared + "/cif/cod_1000006.cif";
        const QString res = shared + "/shelx/shelxfile_p21c.res";
        if (!QFile::exists(cif) || !QFile::exists(res)) QSKIP("the shared test files are not there");
        Session s;
        QVERIFY(s.start());

        QString offered;
        s.window.choose_open_file = [&](const QString&, const QString& selected) {
            offered = selected;
            return cif;
        };
        s.window.CIFfile1Click();
        QCOMPARE(offered, QStringLiteral("Crystallographic Information File (*.cif)"));
        QVERIFY(s.messages.shown.empty());
        QCOMPARE(s.model->asym.count(), 58);
        QCOMPARE(s.cell(1, 1), QStringLiteral("CL1"));
        QCOMPARE(s.window.space_group_caption(), QStringLiteral("Space Group: P212121"));
        QCOMPARE(s.model->edit.data_changed, 1);
        QVERIFY(s.window.windowTitle().endsWith(QStringLiteral("(cod_1000006.cif)")));

        // Restore reads the CIF again, whatever was erased.
        s.window.erase_tout();
        s.model->source_file_name = cif.toStdString();
        s.window.restaure();
        QCOMPARE(s.model->asym.count(), 58);
        QVERIFY(s.messages.shown.empty());

        // Save Data writes a SHELX file; a name without a dot gets .shx.
        const QString target = s.dir.filePath("saved");
        s.window.choose_save_file = [&](const QString&, const QString&) { return target; };
        s.window.button("Save Data")->click();
        QVERIFY(s.messages.shown.empty());
        const std::string written = read_file_bytes((target + ".shx").toStdString());
        QVERIFY(written.rfind("TITL cod_1000006", 0) == 0);
        QVERIFY(contains(written, "LATT -1"));

        // The SHELX menu offers its filter, .res included, and reads a result file.
        s.window.choose_open_file = [&](const QString&, const QString& selected) {
            offered = selected;
            return res;
        };
        s.window.shelx_input_file();
        QVERIFY(offered.contains(QStringLiteral("*.res")));
        QVERIFY(s.messages.shown.empty());
        QCOMPARE(s.model->asym.count(), 128);
        QCOMPARE(s.window.space_group_caption(), QStringLiteral("No Space Group found"));
    }

    void unedited_cells_keep_the_precision_of_the_file()
    {
        Session s;
        QVERIFY(s.start());
        const QString ins = s.dir.filePath("six.ins");
        QFile file(ins);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("TITL six\nCELL 0.71073 10 10 10 90 90 90\nLATT 1\nSFAC C\n"
                   "C1 1 0.123456 0.234567 0.345678 11.0 0.02\nC2 1 0.2 0.3 0.4 11.0 0.02\nHKLF 4\nEND\n");
        file.close();
        s.window.choose_open_file = [&](const QString&, const QString&) { return ins; };
        s.window.shelx_input_file();
        QCOMPARE(s.cell(1, 2).trimmed(), QStringLiteral("0.12346"));
        s.window.trace_ortep();
        QCOMPARE(s.model->asym[1].xyz, (Vec3{0.123456, 0.234567, 0.345678}));
        // A cell typed in is read as typed.
        type_in(s.window.atom_grid(), 1, 2, QStringLiteral("0.5"));
        go_to(s.window.atom_grid(), 2, 2);
        s.window.trace_ortep();
        QCOMPARE(s.model->asym[1].xyz[0], 0.5);
        QCOMPARE(s.model->asym[1].xyz[1], 0.234567);
    }

    void foreign_start_up_file_is_read_at_activation()
    {
        const QString cel = QStringLiteral(KESTRO_SHARED_TESTDATA_DIR "/cel/hikari_NaCl.cel");
        if (!QFile::exists(cel)) QSKIP("the shared test files are not there");
        QTemporaryDir dir;
        auto model = std::make_unique<StructureModel>();
        RecordingMessages messages;
        Tfmainmenu window(*model, &messages);
        QVERIFY(window.FormCreate({"kestro", cel}));
        model->program_directory = dir.path().toStdString();
        window.init_active();
        QVERIFY(model->pending_file_name.empty());
        QVERIFY(messages.shown.empty());
        QCOMPARE(model->asym.count(), 2);
        QCOMPARE(model->operators.count(), 192);
        QVERIFY(window.data_panel_visible());
        window.init_active(); // nothing pending: nothing read again
        QCOMPARE(model->asym.count(), 2);

        // A start-up file that has gone is named, and the model stays empty.
        Tfmainmenu other(*model, &messages);
        QVERIFY(other.FormCreate({"kestro", dir.filePath("gone.lst")}));
        other.init_active();
        QCOMPARE(messages.shown.size(), std::size_t(1));
        QVERIFY(contains(messages.shown[0], "gone.lst"));
        QCOMPARE(model->asym.count(), 0);
    }

    void cell_boxes_follow_the_system()
    {
        Session s;
        QVERIFY(s.start());
        type_box(s.window.cell_box(1), "5");
        type_box(s.window.cell_box(3), "8");
        click_item(s.window.system_list(), "Hexa.");
        QCOMPARE(s.window.cell_box(2)->text(), QStringLiteral("5"));
        QCOMPARE(s.window.cell_box(3)->text(), QStringLiteral("8"));
        QCOMPARE(s.window.cell_box(4)->text(), QStringLiteral("90"));
        QCOMPARE(s.window.cell_box(5)->text(), QStringLiteral("90"));
        QCOMPARE(s.window.cell_box(6)->text(), QStringLiteral("120"));
        QCOMPARE(s.window.cell_box(2)->palette().color(QPalette::Base), to_qcolor(0xC0C0C0));
        QCOMPARE(s.window.cell_box(1)->palette().color(QPalette::Base), QColor(Qt::white));
        QCOMPARE(s.model->system_code, std::string("HEXA"));
        QCOMPARE(s.model->cell.c, 8.0);

        // A changed a is carried into b on leaving it.
        type_box(s.window.cell_box(1), "5.");
        QTest::mouseClick(s.window.cell_box(3), Qt::LeftButton);
        QCOMPARE(s.model->cell.a, 5.0);
        QCOMPARE(s.window.cell_box(2)->text(), QStringLiteral("5."));
        QVERIFY(s.messages.shown.empty());

        // A comma is no decimal separator: the focus stays in the box.
        type_box(s.window.cell_box(1), "5,2");
        QTest::mouseClick(s.window.cell_box(3), Qt::LeftButton);
        QCOMPARE(s.messages.shown, std::vector<std::string>{"Type error!"});
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(s.window.cell_box(1)));
        QCOMPARE(s.model->cell.a, 5.0);
    }

    void typed_atom_is_plotted_then_shown_again_without_generation()
    {
        Session s;
        QVERIFY(s.start());
        // The system choice clears the positions: the group comes after it.
        type_orthorhombic_cell(s);
        set_p1(s);
        QTableWidget* grid = s.window.atom_grid();
        type_in(grid, 3, 1, "c 1");
        go_to(grid, 3, 2);
        // The label fills the row: an isotropic atom of U = 0.05.
        QCOMPARE(s.cell(3, 0), QStringLiteral("3"));
        QCOMPARE(s.cell(3, 1), QStringLiteral("C 1"));
        QCOMPARE(s.cell(3, 4), QStringLiteral("0"));
        QCOMPARE(s.cell(3, 5), QStringLiteral("0.05"));
        QCOMPARE(s.cell(3, 10), QStringLiteral("0"));
        type_in(grid, 3, 2, "0.1");
        type_in(grid, 3, 3, "0.2");
        type_in(grid, 3, 4, "0.3");
        type_in(grid, 3, 5, "0.02");
        go_to(grid, 3, 1);

        s.window.trace_ortep();
        QVERIFY2(s.messages.shown.empty(), s.messages.shown.empty() ? "" : s.messages.shown[0].c_str());
        QCOMPARE(s.model->asym.count(), 1);
        const AtomRecord& atom = s.model->asym[1];
        QCOMPARE(atom.label.str(), std::string("C 1"));
        QCOMPARE(atom.xyz[0], 0.1);
        QCOMPARE(atom.xyz[2], 0.3);
        QCOMPARE(atom.thermal[0], 0.02);
        QCOMPARE(s.model->cell.b, 6.0);
        QCOMPARE(s.model->generated.count(), 1);
        QVERIFY(QFile::exists(s.dir.filePath("dummy.kes")));
        QVERIFY(s.window.drawing_window() && s.window.drawing_window()->isVisible());
        QCOMPARE(s.model->edit.data_changed, 0);

        // Nothing changed: the records stay as they are, a masked atom returns.
        s.model->generated[1].shown = 0;
        s.model->generated[1].label_dx = 0.75;
        QFile::remove(s.dir.filePath("dummy.kes"));
        s.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&s.window));
        s.window.trace_ortep();
        QCOMPARE(s.model->generated[1].shown, 1);
        QCOMPARE(s.model->generated[1].label_dx, 0.75);
        QCOMPARE(s.model->initial_generated[1].label_dx, 0.75);
        QVERIFY(!QFile::exists(s.dir.filePath("dummy.kes")));

        // An edit makes the next plot generate again.
        type_in(grid, 3, 2, "0.15");
        go_to(grid, 3, 3);
        s.window.trace_ortep();
        QCOMPARE(s.model->generated[1].label_dx, 0.0);
        QCOMPARE(s.model->generated[1].xyz[0], 0.15);
        QVERIFY(QFile::exists(s.dir.filePath("dummy.kes")));
    }

    void plot_refusals()
    {
        Session s;
        QVERIFY(s.start());
        set_p1(s);
        QTableWidget* grid = s.window.atom_grid();
        type_atom(grid, 1, {"O 1", "0.5"});
        // No cell yet.
        type_box(s.window.cell_box(1), "");
        QTest::mouseClick(s.window.cell_box(2), Qt::LeftButton);
        s.window.trace_ortep();
        QCOMPARE(s.messages.shown, (std::vector<std::string>{"Cell parameters error", "No cell parameters"}));
        QVERIFY(s.model->generated.empty());

        s.messages.shown.clear();
        type_orthorhombic_cell(s);
        type_in(grid, 1, 3, "1/2");
        go_to(grid, 1, 4);
        s.window.trace_ortep();
        QCOMPARE(s.messages.shown,
                 (std::vector<std::string>{"Erreur \xC3\xA0 la ligne 1 ,colonne 4", "Coordinates read error"}));
        QCOMPARE(s.messages.beeps, 1);
        QCOMPARE(grid->item(0, 3)->foreground().color(), QColor(Qt::red));

        s.messages.shown.clear();
        s.window.erase_tout();
        s.window.trace_ortep();
        QCOMPARE(s.messages.shown, std::vector<std::string>{"No coordinates!"});

        // No position selected: nothing generated.
        s.messages.shown.clear();
        type_atom(grid, 1, {"O 1", "0.5"});
        s.model->selected[1] = 0;
        s.window.show_loaded_structure(); // the grid without its mark, the typed row replaced
        type_atom(grid, 1, {"O 1", "0.5"});
        s.window.trace_ortep();
        QCOMPARE(s.messages.shown, std::vector<std::string>{"No data"});
        QCOMPARE(s.messages.beeps, 2);
    }

    void emptied_label_deletes_its_row()
    {
        Session s;
        QVERIFY(s.start());
        QTableWidget* grid = s.window.atom_grid();
        type_atom(grid, 1, {"C 1", "0.1"});
        type_atom(grid, 2, {"N 2", "0.2"});
        type_atom(grid, 3, {"O 3", "0.3"});
        type_in(grid, 1, 1, "");
        go_to(grid, 1, 2);
        QCOMPARE(s.cell(1, 1), QStringLiteral("N 2"));
        QCOMPARE(s.cell(1, 0), QStringLiteral("1"));
        QCOMPARE(s.cell(1, 2), QStringLiteral("0.2"));
        QCOMPARE(s.cell(2, 1), QStringLiteral("O 3"));
        QCOMPARE(s.cell(2, 0), QStringLiteral("2"));
        QCOMPARE(s.cell(3, 1), QString());
        QCOMPARE(s.model->asym.count(), 2);
        QCOMPARE(s.model->asym[2].label.str(), std::string("O 3"));
        // A long label is kept whole, up to eight characters.
        type_in(grid, 3, 1, "ab1234567");
        go_to(grid, 3, 2);
        QVERIFY(s.window.read_atom_grid());
        QCOMPARE(s.model->asym[3].label.str(), std::string("AB123456"));
    }

    void typed_rows_survive_a_change_of_expression()
    {
        Session s;
        QVERIFY(s.start());
        QTableWidget* grid = s.window.atom_grid();
        type_atom(grid, 1, {"C 1", "0.1"});
        const auto radio = [&](const char* text) {
            for (QRadioButton* button : s.window.findChildren<QRadioButton*>())
                if (button->text() == QLatin1String(text)) return button;
            return static_cast<QRadioButton*>(nullptr);
        };
        QTest::mouseClick(radio("Bij"), Qt::LeftButton);
        QCOMPARE(s.cell(1, 1), QStringLiteral("C 1"));
        QCOMPARE(s.cell(1, 5), QStringLiteral(" 3.947842")); // U = 0.05 shown as B
        // A cell that cannot be read keeps the expression and the rows.
        type_in(grid, 1, 2, "0.1x");
        go_to(grid, 1, 3);
        QTest::mouseClick(radio("Uij"), Qt::LeftButton);
        QVERIFY(radio("Bij")->isChecked());
        QCOMPARE(s.window.thermal_expression(), ThermalExpression::Bij);
        QCOMPARE(s.cell(1, 2), QStringLiteral("0.1X"));
        QCOMPARE(s.messages.shown.back(), std::string("Erreur \xC3\xA0 la ligne 1 ,colonne 3"));
    }

    void loaded_structure_fills_the_controls_and_restore_reads_it_again()
    {
        Session s;
        QVERIFY(s.start());
        s.window.choose_open_file = [](const QString&, const QString&) { return Golden; };
        s.window.lit_en_ascii();
        QCOMPARE(s.window.cell_box(1)->text(), QStringLiteral(" 10.5000"));
        QCOMPARE(s.window.cell_box(5)->text(), QStringLiteral(" 105.500"));
        QCOMPARE(s.window.system_list()->currentItem()->text(), QStringLiteral("Monoc."));
        QCOMPARE(s.cell(2, 1), QStringLiteral("CL12"));
        QCOMPARE(s.cell(1, 2), QStringLiteral("  0.12345"));
        QCOMPARE(s.cell(1, 5), QStringLiteral(" 0.021000"));
        QCOMPARE(s.cell(1, 10), QString()); // a zero value stays empty
        QCOMPARE(s.window.positions_grid()->item(1, 4)->text(), QStringLiteral("*"));
        QCOMPARE(s.window.positions_grid()->item(1, 4)->background().color(), to_qcolor(15979007));
        QCOMPARE(text_at(s.window.positions_grid(), 2, 4), QString());

        // Bij shown from the same Uij: B = 8 pi^2 U.
        s.window.findChild<QAbstractButton*>("Bij")->click();
        QCOMPARE(s.window.atom_grid()->horizontalHeaderItem(5)->text(), QStringLiteral("B11"));
        QCOMPARE(s.cell(3, 5), QString::fromStdString(fmt_real(0.025 * EightPiSquared, 9, 6)));
        s.window.findChild<QAbstractButton*>("Uij")->click();
        QCOMPARE(s.window.atom_grid()->horizontalHeaderItem(5)->text(), QStringLiteral("u11"));

        s.window.erase_tout();
        QCOMPARE(s.cell(1, 1), QString());
        s.window.button("Restore the initial Data")->click();
        QCOMPARE(s.model->asym.count(), 3);
        QCOMPARE(s.cell(2, 1), QStringLiteral("CL12"));
        QCOMPARE(s.window.space_group_caption(), QStringLiteral("Space Group: P21/c"));
        QCOMPARE(s.model->edit.data_changed, 1);
        QVERIFY(s.messages.shown.empty());

        // A foreign file that has gone is named in the message; the reset
        // of every foreign load leaves no structure, and the grid shows that.
        s.model->source_file_name = "/tmp/kestro-no-such-file.cif";
        s.window.restaure();
        QCOMPARE(s.messages.shown.size(), std::size_t(1));
        QVERIFY(contains(s.messages.shown[0], "kestro-no-such-file.cif"));
        QCOMPARE(s.model->asym.count(), 0);
        QCOMPARE(s.cell(1, 1), QString());
        QVERIFY(s.model->source_file_name.empty());
    }

    void standard_symbol_gives_its_positions()
    {
        if (!QFile::exists(QStringLiteral(KESTRO_SOURCE_DATA_DIR "/MONO.pos"))) QSKIP("data/MONO.pos is not there yet");
        Session s;
        QVERIFY(s.start());
        click_item(s.window.system_list(), "Monoc.");
        QVERIFY(s.window.miraldo_list()->topLevelItemCount() == 160);
        click_item(s.window.standard_list(), "P21/c");
        QVERIFY2(s.messages.shown.empty(), s.messages.shown.empty() ? "" : s.messages.shown[0].c_str());
        QCOMPARE(s.model->operators.count(), 4);
        QCOMPARE(s.window.space_group_caption(), QStringLiteral("Space Group: P21/c"));
        QTableWidget* grid = s.window.positions_grid();
        int marks = 0;
        for (int row = 0; row < 4; ++row) {
            QVERIFY(!text_at(grid, row, 1).trimmed().isEmpty());
            marks += text_at(grid, row, 4) == "*";
        }
        QCOMPARE(marks, 1);
        QCOMPARE(text_at(grid, 0, 4), QStringLiteral("*"));
        QCOMPARE(text_at(grid, 4, 1), QString());

        // A click in the "Selected" column toggles the mark.
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(2, 4)).center());
        QCOMPARE(text_at(grid, 2, 4), QStringLiteral("*"));
        s.window.button("Unselect All")->click();
        QCOMPARE(text_at(grid, 2, 4), QString());
        QCOMPARE(text_at(grid, 0, 4), QStringLiteral("*"));

        // "Cell contents" selects every position.
        QListWidgetItem* cell_contents = s.window.option_list()->item(4);
        cell_contents->setCheckState(Qt::Checked);
        QCOMPARE(s.model->generation.cell_contents, 1);
        QCOMPARE(s.model->selected_operators.count(), 4);
        for (int row = 0; row < 4; ++row) QCOMPARE(text_at(grid, row, 4), QStringLiteral("*"));
        QCOMPARE(s.window.option_list()->item(0)->checkState(), Qt::Unchecked);
        cell_contents->setCheckState(Qt::Unchecked);
        QCOMPARE(s.window.option_list()->item(0)->checkState(), Qt::Checked);
    }

    void cancelled_box_unticks_its_option()
    {
        Session s;
        QVERIFY(s.start());
        s.window.option_list()->item(1)->setCheckState(Qt::Checked);
        QVERIFY(s.window.box_dialog()->isVisible());
        QCOMPARE(s.model->generation.box, 1);
        s.window.box_dialog()->annule();
        QCOMPARE(s.model->generation.box, 0);
        QCOMPARE(s.window.option_list()->item(1)->checkState(), Qt::Unchecked);
        QCOMPARE(s.window.option_list()->item(0)->checkState(), Qt::Checked);
    }

    void deletion_dialogs_edit_the_grid()
    {
        Session s;
        QVERIFY(s.start());
        QTableWidget* grid = s.window.atom_grid();
        const QStringList labels{"C 1", "CL1", "O 1", "N 1", "CL2", "S 1", "P 1"};
        for (int i = 0; i < labels.size(); ++i) type_atom(grid, i + 1, {labels[i], QString::number(0.1 * (i + 1))});

        s.window.button("Delete Elements")->click();
        TfeffaceE* elements = s.window.element_dialog();
        QVERIFY(elements->isVisible());
        int cl_row = -1;
        for (int row = 1; row < elements->grid()->rowCount(); ++row)
            if (elements->grid()->item(row, 0) && elements->grid()->item(row, 0)->text().trimmed().startsWith("Cl", Qt::CaseInsensitive))
                cl_row = row;
        QVERIFY(cl_row > 0);
        elements->onclic(cl_row);
        elements->del_elem_system();
        QCOMPARE(s.cell(1, 1), QStringLiteral("C 1"));
        QCOMPARE(s.cell(2, 1), QStringLiteral("O 1"));
        QCOMPARE(s.cell(5, 1), QStringLiteral("P 1"));
        QCOMPARE(s.cell(6, 1), QString());

        s.window.button("Delete atoms by Bloc")->click();
        TfeffaceB* bloc = s.window.bloc_dialog();
        QVERIFY(bloc->isVisible());
        bloc->from_field()->setText("5");
        bloc->to_field()->setText("3");
        bloc->efface_bloc();
        QCOMPARE(s.cell(1, 1), QStringLiteral("C 1"));
        QCOMPARE(s.cell(2, 1), QStringLiteral("O 1"));
        QCOMPARE(s.cell(3, 1), QString());
        QCOMPARE(s.model->asym.count(), 2);
        QCOMPARE(s.model->edit.atoms_changed, 1);
    }

    void generated_atoms_are_listed()
    {
        Session s;
        QVERIFY(s.start());
        s.window.choose_open_file = [](const QString&, const QString&) { return Golden; };
        s.window.lit_en_ascii();
        s.model->edit.data_changed = 1;
        s.window.button("Display the list of generated atoms")->click();
        QVERIFY(s.window.generated_list_window() && s.window.generated_list_window()->isVisible());
        const QAbstractItemModel* lines = s.window.generated_list_window()->findChild<QListView*>()->model();
        QCOMPARE(lines->rowCount(), s.model->generated.count() + 1);
        QVERIFY(lines->index(1, 0).data().toString().contains("C1"));
        QCOMPARE(s.model->edit.data_changed, 1); // the list is no plot
    }

    void miraldo_symbol_gives_its_positions()
    {
        if (!QFile::exists(QStringLiteral(KESTRO_SOURCE_DATA_DIR "/spgr.dat"))) QSKIP("data/spgr.dat is not there yet");
        Session s;
        QVERIFY(s.start());
        click_item(s.window.system_list(), "Monoc.");
        QTreeWidget* list = s.window.miraldo_list();
        QTreeWidgetItem* found = nullptr;
        for (int i = 0; i < list->topLevelItemCount() && !found; ++i)
            if (list->topLevelItem(i)->text(0) == "P121/c1") found = list->topLevelItem(i);
        QVERIFY(found);
        list->scrollToItem(found);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(found).center());
        QVERIFY2(s.messages.shown.empty(), s.messages.shown.empty() ? "" : s.messages.shown[0].c_str());
        QCOMPARE(s.model->operators.count(), 4);
        QCOMPARE(s.window.space_group_caption(), QStringLiteral("Space Group: P121/c1"));
        QCOMPARE(text_at(s.window.positions_grid(), 0, 4), QStringLiteral("*"));
        QCOMPARE(text_at(s.window.positions_grid(), 1, 4), QString());
    }

    void buttons_open_help_and_bond_limits()
    {
        Session s;
        QVERIFY(s.start());
        const std::pair<const char*, int> contexts[] = {
            {"Data Help ", 4}, {"GenerationHelp ", 1}, {"Help about equivalent positions generation", 12}};
        for (const auto& [name, context] : contexts) {
            s.window.button(name)->click();
            auto* viewer = s.window.findChild<HelpViewer*>();
            QVERIFY(viewer && viewer->isVisible());
            QCOMPARE(viewer->current_context(), context);
        }
        s.window.aide();
        QCOMPARE(s.window.findChild<HelpViewer*>()->current_context(), 7);

        // Bond limits of typed atoms: their sorts are made for the dialog.
        type_atom(s.window.atom_grid(), 1, {"C 1", "0.1"});
        type_atom(s.window.atom_grid(), 2, {"O 1", "0.2"});
        s.window.button("Edit/Modify bonds length limits")->click();
        QVERIFY(s.window.bond_dialog()->isVisible());
        QCOMPARE(s.model->bond_sorts.count(), 3);
        QVERIFY(s.messages.shown.empty());
    }

    void dropped_files_and_standard_keys_load_as_file_load_does()
    {
        Session s;
        QVERIFY(s.start());
        const auto drop = [&](const QString& file) {
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(file)});
            QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&s.window, &enter);
            QVERIFY(enter.isAccepted());
            QDropEvent dropped(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&s.window, &dropped);
        };
        // A .kes file dropped on the window loads as File > Load > Kestro file.
        s.window.choose_open_file = [](const QString&, const QString&) -> QString {
            qFatal("a dropped file needs no dialog");
        };
        drop(Golden);
        QCOMPARE(s.model->asym.count(), 3);
        QVERIFY(s.window.windowTitle().endsWith(QStringLiteral("(golden.kes)")));

        // A file no reader takes is refused with the load's own message.
        drop(s.dir.filePath("notes.txt"));
        QCOMPARE(s.messages.shown.back(),
                 std::string("The file notes.txt is not a structure file KESTRO reads (") + ReadableExtensions + ")");
        QCOMPARE(s.model->asym.count(), 3);

        // Ctrl+O offers every structure file and reads the one chosen by its extension.
        const QString ins = s.dir.filePath("two.ins");
        write_file_atomically(ins.toStdString(), "TITL two\nCELL 0.71073 10 10 10 90 90 90\nLATT 1\nSFAC C\n"
                                                 "C1 1 0.1 0.2 0.3 11.0 0.02\nC2 1 0.2 0.3 0.4 11.0 0.02\nHKLF 4\nEND\n");
        QString offered;
        s.window.choose_open_file = [&](const QString&, const QString& selected) {
            offered = selected;
            return ins;
        };
        s.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&s.window));
        QTest::keyClick(&s.window, Qt::Key_O, Qt::ControlModifier);
        QVERIFY(offered.startsWith(QStringLiteral("Structure files (*.kes *.ins")));
        QCOMPARE(s.model->asym.count(), 2);
        QCOMPARE(s.cell(2, 1), QStringLiteral("C 2"));
    }

    void help_opens_at_its_context()
    {
        auto model = std::make_unique<StructureModel>();
        RecordingMessages messages;
        Tfmainmenu window(*model, &messages);
        QVERIFY(window.FormCreate({"kestro"}));
        HelpViewer viewer(model->data_directory);
        for (int context : {1, 3, 4, 5, 7, 9, 11, 12}) {
            QVERIFY2(viewer.open_context(context), qPrintable(viewer.error_text()));
            QCOMPARE(viewer.current_context(), context);
        }
        QVERIFY(!viewer.open_context(999));
        window.open_help(7);
        QVERIFY(messages.shown.empty());
    }
};

QTEST_MAIN(TestMainMenu)
#include "test_mainmenu.moc"

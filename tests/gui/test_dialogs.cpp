// The small dialogs of the main window, run offscreen and driven as a user
// would: bond limits, enclosure box and sphere, and the three deletions.
#include <QtTest>

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTimer>
#include <memory>

#include "crystal/sorts.h"
#include "recording_messages.h"
#include "temp_dir.h"
#include "ui/boite.h"
#include "ui/efface.h"
#include "ui/sphere.h"
#include "ui/typliai.h"

using namespace kestro;

namespace {

// A model with these atoms, its element and bond sorts built from a small
// rayons.cst of its own.
struct Fixture {
    TempDir dir;
    std::unique_ptr<StructureModel> model = std::make_unique<StructureModel>();
    RecordingMessages messages;

    explicit Fixture(std::initializer_list<const char*> labels)
    {
        dir.write("rayons.cst", "C\r\n0.77\r\nCL\r\n0.99\r\nO\r\n0.66\r\n");
        model->data_directory = dir.path();
        double x = 0;
        for (const char* label : labels) {
            AtomRecord atom;
            atom.label = label;
            atom.xyz = {x += 0.125, -0.5, 0.25};
            model->asym.push(atom);
        }
        build_bond_sorts(*model, messages);
    }

    std::vector<std::string> labels() const
    {
        std::vector<std::string> out;
        for (const AtomRecord& atom : model->asym) out.push_back(atom.label.str());
        return out;
    }
};

void click_cell(QTableWidget* grid, int row, int column)
{
    const QRect rect = grid->visualItemRect(grid->item(row, column));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
}

void click_line(QListWidget* list, int row)
{
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualItemRect(list->item(row)).center());
}

void type_into(QLineEdit* field, const QString& text)
{
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, text);
}

// Types into a grid cell through its editor, committed with Return.
void type_into_cell(QTableWidget* grid, int row, int column, const QString& text)
{
    grid->setCurrentCell(row, column);
    grid->editItem(grid->item(row, column));
    QLineEdit* editor = nullptr;
    for (QLineEdit* candidate : grid->viewport()->findChildren<QLineEdit*>())
        if (candidate->isVisible()) editor = candidate;
    QVERIFY(editor);
    editor->selectAll();
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // the closed editor goes
}

// exec() with `act` run once the dialog is up.
template <class Dialog, class Act>
int exec_with(Dialog& dialog, Act act)
{
    QTimer::singleShot(0, &dialog, act);
    return dialog.exec();
}

const QColor MarkedPink(0xFF, 0xCB, 0xEE);

} // namespace

class TestDialogs : public QObject {
    Q_OBJECT

private slots:
    void bond_limits_edited_in_the_grid()
    {
        Fixture f({"CL1", "C 1"});
        QCOMPARE(f.model->bond_sorts.count(), 3); // CL-CL, CL-C, C-C
        Tftypliai dialog(*f.model, &f.messages);
        QSignalSpy changed(&dialog, &Tftypliai::model_changed);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Modif the bond lengths"));
        dialog.show();
        dialog.activateWindow(); // cell editors need the focus
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QTableWidget* grid = dialog.grid();
        QCOMPARE(grid->item(1, 0)->text(), QStringLiteral("Cl"));
        QCOMPARE(grid->item(2, 1)->text(), QStringLiteral("C"));
        QCOMPARE(grid->item(3, 2)->text(), QStringLiteral("  1.85")); // 2 x 0.77 x 1.2

        type_into_cell(grid, 1, 2, QStringLiteral("2.5"));
        type_into_cell(grid, 2, 2, QStringLiteral("1,5"));
        QVERIFY(dialog.isVisible()); // Return closed the cell, not the dialog
        QTest::mouseClick(dialog.ok_button(), Qt::LeftButton);
        QCOMPARE(f.messages.shown, std::vector<std::string>{"Read error at line 2"});
        QVERIFY(dialog.isVisible());
        QCOMPARE(f.model->bond_sorts[1].max_length, 2.5);

        type_into_cell(grid, 2, 2, QStringLiteral("1.75"));
        QTest::mouseClick(dialog.ok_button(), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(f.model->bond_sorts[2].max_length, 1.75);
        QCOMPARE(changed.count(), 2);

        // Reopened: the grid shows the stored limits again.
        dialog.show();
        QCOMPARE(grid->item(2, 2)->text(), QStringLiteral("  1.75"));
    }

    void box_centre_from_a_click_and_a_bad_field()
    {
        Fixture f({"C 1", "O 1"});
        f.model->asym[1].xyz = {0.1234, -0.5, 0.25};
        f.model->generation.box = 1;
        Tfboite dialog(*f.model, &f.messages);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Definition of the box"));
        dialog.show();
        QCOMPARE(dialog.atom_list()->count(), 2);
        QCOMPARE(dialog.atom_list()->item(0)->text(), QStringLiteral("C 1   0.1234 -0.5000  0.2500"));
        QCOMPARE(dialog.edge_field(0)->text(), QStringLiteral("  1.010"));
        QVERIFY(dialog.cut_yes()->isChecked());

        click_line(dialog.atom_list(), 0);
        QCOMPARE(dialog.centre_field(0)->text(), QStringLiteral(" 0.1234"));
        QCOMPARE(dialog.centre_field(1)->text(), QStringLiteral(" -0.5000"));
        QCOMPARE(dialog.centre_field(2)->text(), QStringLiteral(" 0.2500"));

        type_into(dialog.edge_field(0), QStringLiteral("2"));
        dialog.edge_field(1)->clear();
        type_into(dialog.centre_field(1), QStringLiteral("y"));
        QTest::mouseClick(dialog.ok_button(), Qt::LeftButton);
        QCOMPARE(f.messages.beeps, 1);
        QVERIFY(f.messages.shown.empty());
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.focusWidget(), dialog.centre_field(1));
        QCOMPARE(f.model->generation.box_size, (Vec3{2, 0, 1.01}));
        QCOMPARE(dialog.edge_field(1)->text(), QStringLiteral("0"));
        QCOMPARE(f.model->generation.centre[0], 0.1234);
        QCOMPARE(f.model->generation.centre[1], 0.5);

        type_into(dialog.centre_field(1), QStringLiteral("0.75"));
        QTest::mouseClick(dialog.cut_no(), Qt::LeftButton);
        f.model->generation.box_reduce = 1;
        QTest::mouseClick(dialog.ok_button(), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(f.model->generation.centre, (Vec3{0.1234, 0.75, 0.25}));
        QCOMPARE(f.model->generation.box_reduce, 0);
        QCOMPARE(f.model->generation.box, 1); // OK leaves the option on

        // The centre is shared: the sphere dialog shows it.
        Tfsphere sphere(*f.model, &f.messages);
        sphere.show();
        QCOMPARE(sphere.centre_field(1)->text(), QStringLiteral(" 0.7500"));
    }

    void box_cancel_and_escape_switch_the_option_off()
    {
        Fixture f({"C 1"});
        f.model->generation.box = 1;
        Tfboite dialog(*f.model, &f.messages);
        QSignalSpy changed(&dialog, &Tfboite::model_changed);
        const int result = exec_with(dialog, [&] {
            type_into(dialog.edge_field(2), QStringLiteral("3"));
            QTest::mouseClick(dialog.cancel_button(), Qt::LeftButton);
        });
        QCOMPARE(result, int(QDialog::Rejected));
        QCOMPARE(f.model->generation.box, 0);
        QCOMPARE(f.model->generation.box_size[2], 1.01); // typed, then cancelled
        QCOMPARE(changed.count(), 1);

        f.model->generation.box = 1;
        const int escaped = exec_with(dialog, [&] { QTest::keyClick(&dialog, Qt::Key_Escape); });
        QCOMPARE(escaped, int(QDialog::Rejected));
        QCOMPARE(f.model->generation.box, 0);
        // Reopened: the cancelled edge is not kept.
        dialog.show();
        QCOMPARE(dialog.edge_field(2)->text(), QStringLiteral("  1.010"));
    }

    void sphere_empty_radius_and_cancel()
    {
        Fixture f({"C 1", "O 1"});
        f.model->generation.sphere = 1;
        f.model->generation.box = 1;
        Tfsphere dialog(*f.model, &f.messages);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Definition of the sphere of enclosure"));
        const int result = exec_with(dialog, [&] {
            QCOMPARE(dialog.radius_field()->text(), QStringLiteral(" 6.000"));
            click_line(dialog.atom_list(), 1);
            dialog.radius_field()->clear();
            QTest::mouseClick(dialog.ok_button(), Qt::LeftButton);
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(dialog.radius_field()->text(), QStringLiteral("0"));
        QCOMPARE(f.model->generation.sphere_radius, 0.0);
        QCOMPARE(f.model->generation.centre, (Vec3{0.25, -0.5, 0.25}));
        QCOMPARE(f.model->generation.sphere_reduce, 1);
        QCOMPARE(f.model->generation.sphere, 1);

        const int cancelled = exec_with(dialog, [&] {
            type_into(dialog.radius_field(), QStringLiteral("-1"));
            QTest::mouseClick(dialog.ok_button(), Qt::LeftButton); // refused: stays open
            QVERIFY(dialog.isVisible());
            QTest::mouseClick(dialog.cancel_button(), Qt::LeftButton);
        });
        QCOMPARE(cancelled, int(QDialog::Rejected));
        QCOMPARE(f.model->generation.sphere, 0);
        QCOMPARE(f.model->generation.box, 1);
        QCOMPARE(f.model->generation.sphere_radius, 0.0);
    }

    void elements_marked_and_deleted()
    {
        Fixture f({"CL1", "C 1", "CL2"});
        TfeffaceE dialog(*f.model, &f.messages);
        QSignalSpy changed(&dialog, &TfeffaceE::model_changed);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Delete Elements of the asymetric unit"));
        QVERIFY(dialog.windowFlags() & Qt::WindowStaysOnTopHint);
        dialog.show();
        QTableWidget* grid = dialog.grid();
        QCOMPARE(grid->rowCount(), 4);
        QCOMPARE(grid->item(0, 0)->text(), QStringLiteral("Nb"));
        QCOMPARE(grid->item(1, 0)->text(), QStringLiteral("CL"));

        click_cell(grid, 1, 0);
        QCOMPARE(grid->item(1, 0)->text(), QStringLiteral("CL*"));
        QCOMPARE(grid->item(1, 0)->background().color(), MarkedPink);
        click_cell(grid, 2, 0);
        click_cell(grid, 2, 0); // unmarked again
        QCOMPARE(grid->item(2, 0)->text(), QStringLiteral("C"));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier,
                          grid->visualRect(grid->model()->index(3, 0)).center());
        QVERIFY(!grid->item(3, 0) || grid->item(3, 0)->text().isEmpty()); // the spare row takes no mark

        f.messages.answers = {Answer::No};
        QTest::mouseClick(dialog.ok_button(), Qt::LeftButton);
        QVERIFY(dialog.isVisible());
        QCOMPARE(f.model->asym.count(), 3);

        QTest::mouseClick(dialog.ok_button(), Qt::LeftButton);
        QCOMPARE(f.messages.asked.back(),
                 std::string("Are you sure to want to systematicaly delete the selected types of atom?"));
        QVERIFY(!dialog.isVisible());
        QCOMPARE(f.labels(), std::vector<std::string>{"C 1"});
        QCOMPARE(f.model->element_sorts.count(), 1);
        QCOMPARE(f.model->bond_sorts.count(), 1);
        QCOMPARE(changed.count(), 1);

        dialog.show();
        QCOMPARE(grid->rowCount(), 3);
        QCOMPARE(grid->item(1, 0)->text(), QStringLiteral("C"));
    }

    void atoms_marked_in_the_label_column_only()
    {
        Fixture f({"C 1", "C 2", "O 1"});
        TfeffaceA dialog(*f.model, &f.messages);
        QSignalSpy changed(&dialog, &TfeffaceA::model_changed);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Delete atoms of the asymetric unit"));
        dialog.show();
        QTableWidget* grid = dialog.grid();
        QCOMPARE(grid->item(0, 1)->text(), QStringLiteral("Atom"));
        QCOMPARE(grid->item(2, 0)->text(), QStringLiteral("2"));

        // OK with nothing marked closes without a question.
        QTest::mouseClick(dialog.ok_button(), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QVERIFY(f.messages.asked.empty());

        dialog.show();
        click_cell(grid, 2, 0); // the number column takes no mark
        QCOMPARE(grid->item(2, 0)->text(), QStringLiteral("2"));
        click_cell(grid, 2, 1);
        QCOMPARE(grid->item(2, 1)->text(), QStringLiteral("C 2*"));
        QCOMPARE(grid->item(2, 1)->background().color(), MarkedPink);
        QTest::mouseClick(dialog.ok_button(), Qt::LeftButton);
        QCOMPARE(f.messages.asked, std::vector<std::string>{"Are you sure to want to delete the selected atoms ?"});
        QCOMPARE(f.labels(), (std::vector<std::string>{"C 1", "O 1"}));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(grid->rowCount(), 4);
    }

    void block_typed_reversed_then_refused()
    {
        Fixture f({"C 1", "C 2", "C 3", "C 4", "C 5", "C 6"});
        TfeffaceB dialog(*f.model, &f.messages);
        QSignalSpy changed(&dialog, &TfeffaceB::model_changed);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Delete a bloc of atoms of the asymetric unit"));
        QVERIFY(dialog.windowFlags() & Qt::WindowStaysOnTopHint);
        const int result = exec_with(dialog, [&] {
            QCOMPARE(dialog.grid()->rowCount(), 8);
            QTest::keyClicks(dialog.from_field(), QStringLiteral("5"));
            QTest::keyClicks(dialog.to_field(), QStringLiteral("3"));
            QTest::mouseClick(dialog.ok_button(), Qt::LeftButton);
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(f.messages.asked, std::vector<std::string>{"Are you sure to want to delete the atoms 3 to 5 ?"});
        QCOMPARE(f.labels(), (std::vector<std::string>{"C 1", "C 2", "C 6"}));
        QVERIFY(dialog.from_field()->text().isEmpty());
        QVERIFY(dialog.to_field()->text().isEmpty());
        QCOMPARE(changed.count(), 1);

        dialog.show();
        QCOMPARE(dialog.grid()->rowCount(), 5);
        QTest::keyClicks(dialog.from_field(), QStringLiteral("two"));
        QTest::keyClicks(dialog.to_field(), QStringLiteral("3"));
        QTest::mouseClick(dialog.ok_button(), Qt::LeftButton);
        QCOMPARE(f.messages.shown, std::vector<std::string>{"'two' is not a valid integer value"});
        QVERIFY(dialog.isVisible());
        type_into(dialog.from_field(), QStringLiteral("4"));
        type_into(dialog.to_field(), QStringLiteral("9"));
        QTest::mouseClick(dialog.ok_button(), Qt::LeftButton);
        QCOMPARE(f.messages.shown.back(), std::string("No atom in the range 4 to 9"));
        QVERIFY(dialog.isVisible());
        QCOMPARE(f.model->asym.count(), 3);
        QCOMPARE(changed.count(), 1);
    }
};

QTEST_MAIN(TestDialogs)
#include "test_dialogs.moc"

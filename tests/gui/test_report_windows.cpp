// The report windows driven from the drawing window, offscreen, on a
// six-membered ring and a substituent: the environment of a clicked atom,
// a mean plane through six clicked atoms, the distances table, and the
// command line writing the same files byte for byte.
#include <QtTest>
#include <QItemSelectionModel>
#include <QClipboard>

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QToolBar>
#include <cmath>
#include <memory>

#include "drawing/drawing_state.h"
#include "drawing/interaction.h"
#include "drawing_fixture.h"
#include "analysis/reports.h"
#include "formats/kes.h"
#include "model/file_io.h"
#include "platform/editor.h"
#include "ui/dessin.h"
#include "ui/mainmenu.h"
#include "ui/disp_coord.h"
#include "ui/disp_coordinance.h"
#include "ui/distances.h"
#include "ui/geometry_window.h"
#include "ui/plan_moyen.h"

using namespace kestro;

namespace {

// A ring of six carbon atoms 1.39 A from its centre, slightly puckered,
// with an oxygen on the first (cubic cell of 10 A).
std::vector<FixtureAtom> ring()
{
    std::vector<FixtureAtom> atoms;
    for (int k = 0; k < 6; ++k) {
        const double t = k * 3.14159265358979 / 3;
        atoms.push_back({"C " + std::to_string(k + 1),
                         {0.5 + 0.139 * std::cos(t), 0.5 + 0.139 * std::sin(t), 0.5 + (k % 2 ? 0.001 : -0.001)},
                         uiso(0.02)});
    }
    atoms.push_back({"O 1", {0.5 + 0.275, 0.5, 0.5}, uiso(0.02)});
    return atoms;
}

// The ring as a structure file read back, which the command line reads too.
struct Fixture {
    QTemporaryDir directory;
    std::unique_ptr<StructureModel> model = std::make_unique<StructureModel>();
    RecordingMessages messages;
    std::unique_ptr<Tfdessin> window;
    std::vector<QString> edited;

    Fixture()
    {
        write_file_atomically(file("ring.kes").toStdString(), ascii_structure_text(*drawing_model(ring())));
        model->data_directory = KESTRO_SOURCE_DATA_DIR;
        load_ascii_structure(*model, file("ring.kes").toStdString(), messages);
        model->program_directory = directory.path().toStdString();
        window = std::make_unique<Tfdessin>(*model, &messages);
        window->copy_to_clipboard = [](const QImage&) {};
        window->show();
        window->new_picture();
    }

    QPoint at(int atom) const
    {
        const PixelPoint p = point_pixel(window->drawing_state(), atom);
        return {p.x, p.y};
    }
    QString file(const char* name) const { return directory.filePath(QString::fromLatin1(name)); }
    void editor(ReportWindow* report)
    {
        report->open_editor = [this](const QString& path, QString&) {
            edited.push_back(path);
            return true;
        };
    }
};

void click(QWidget* widget, QPoint point, Qt::MouseButton button = Qt::LeftButton)
{
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
        QMouseEvent event(type, QPointF(point), widget->mapToGlobal(QPointF(point)), button, held, Qt::NoModifier);
        QApplication::sendEvent(widget, &event);
    }
}

QAction* tool(Tfdessin& window, const QString& hint)
{
    for (QToolBar* bar : window.findChildren<QToolBar*>())
        for (QAction* action : bar->actions())
            if (action->toolTip() == hint) return action;
    return nullptr;
}

// The command line on the same structure, in the same directory.
QByteArray command_line(const Fixture& f, const QStringList& arguments)
{
    const QString structure = f.file("ring.kes");
    QProcess process;
    process.setWorkingDirectory(f.directory.path());
    process.start(QStringLiteral(KESTRO_EXECUTABLE), QStringList{QStringLiteral("report")} + arguments.mid(0, 1) +
                                                           QStringList{structure} + arguments.mid(1));
    process.waitForFinished(30000);
    return process.readAllStandardOutput();
}

} // namespace

class TestReportWindows : public QObject {
    Q_OBJECT

private slots:
    void init() { qputenv("KESTRO_DATA", KESTRO_SOURCE_DATA_DIR); }

    void environment_of_a_clicked_atom()
    {
        Fixture f;
        Tfdessin& w = *f.window;
        tool(w, QStringLiteral("Angles & Distances around an atom"))->trigger();
        QCOMPARE(w.prompt_text(), QStringLiteral("Distances and Angles around a central atom: click on the central "
                                                 "atom (Right button to cancel)"));
        click(w.picture_widget(), f.at(1));
        Tfdisp_coordinance* env = w.coordination_window();
        QVERIFY(env->isVisible());
        QCOMPARE(env->centre(), 1);
        QVERIFY(env->windowTitle().startsWith(QStringLiteral("Distances and angles around the atom C1 (")));

        env->radius_field()->setText(QStringLiteral("1,5"));
        env->calcule();
        QCOMPARE(f.messages.shown.back(), std::string("Read error"));
        env->radius_field()->setText(QStringLiteral("1.5"));
        env->calcule();
        // C2, C6 and O1 at 1.39 A: three lines, three angles.
        const QStringList lines = env->text_area()->toPlainText().split('\n');
        QCOMPARE(lines.size(), 1 + 3 + 1 + 3);
        QCOMPARE(lines[4], QStringLiteral("            Angles"));
        QVERIFY(QFile::exists(f.file("envir.txt")));
        QCOMPARE(QByteArray::fromStdString(read_file_bytes(f.file("envir.txt").toStdString())),
                 command_line(f, {"environment", "--atom", "1", "--radius", "1.5", "-o", "-"}));

        // Another centre from the drawing, then Return: file gone, mode off.
        click(w.picture_widget(), f.at(4));
        QCOMPARE(env->centre(), 4);
        f.editor(env);
        env->edit_liste();
        QCOMPARE(f.edited.back(), f.file("envir.txt"));
        env->sortie();
        QVERIFY(!QFile::exists(f.file("envir.txt")));
        QCOMPARE(w.interaction().mode, PickMode::None);
    }

    void mean_plane_of_six_clicked_atoms()
    {
        Fixture f;
        Tfdessin& w = *f.window;
        tool(w, QStringLiteral("Mean Plane determination"))->trigger();
        Tfplan_moyen* plan = w.plan_window();
        QVERIFY(plan->isVisible());
        for (int atom = 1; atom <= 6; ++atom) click(w.picture_widget(), f.at(atom));
        QCOMPARE(plan->grid()->item(0, 0)->text(), QStringLiteral("Nb.1"));
        QCOMPARE(plan->grid()->item(0, 6)->text(), QStringLiteral("C6(6)"));
        // The marks of the picked atoms are on the picture, on white.
        int white = 0;
        const QPoint mark = f.at(3) * w.picture().devicePixelRatio();
        for (int dx = -3; dx <= 3; ++dx)
            for (int dy = -1; dy <= 1; ++dy) white += w.picture().pixelColor(mark + QPoint(dx, dy)) == Qt::white;
        QVERIFY2(white >= 5, qPrintable(QString::number(white)));
        plan->button(QStringLiteral("Compute the mean plane equation of the selected planes"))->click();
        QCOMPARE(plan->results()->item(0)->text(), QStringLiteral("Plane Nb. 1:   6 atoms"));
        // Puckered by 0.01 A up and down: deviations of 0.0100, rms 0.0100.
        const QString rms = plan->results()->item(10)->text();
        QCOMPARE(rms, QStringLiteral("Rms deviation of fitted atoms =  0.0100"));
        QCOMPARE(plan->results()->item(plan->results()->count() - 1)->text(), QStringLiteral("Normal end"));
        QCOMPARE(QByteArray::fromStdString(read_file_bytes(f.file("plan.sor").toStdString())),
                 command_line(f, {"plane", "--plane", "1,2,3,4,5,6", "-o", "-"}));

        // A right click takes an atom off the next plane; End empties all.
        click(w.picture_widget(), f.at(7));
        click(w.picture_widget(), f.at(1));
        QCOMPARE(plan->session().picked.count(), 2);
        click(w.picture_widget(), f.at(7), Qt::RightButton);
        QCOMPARE(plan->grid()->item(1, 1)->text(), QStringLiteral("C1(1)"));
        plan->button(QStringLiteral("End. Return to the plot"))->click();
        QVERIFY(!plan->isVisible());
        QVERIFY(plan->grid()->item(0, 0)->text().isEmpty());
        QCOMPARE(w.interaction().mode, PickMode::None);
    }

    void distances_and_coordinates_lists()
    {
        Fixture f;
        Tfdessin& w = *f.window;
        tool(w, QStringLiteral("Display the table of inter-atomic distances"))->trigger();
        Tfdistances* table = w.distances_window();
        QCOMPARE(table->grid()->model()->rowCount(), f.model->bonds.count() + 1);
        QCOMPARE(table->grid()->model()->index(0, 8).data().toString(), QStringLiteral("Distance"));
        QCOMPARE(table->grid()->model()->headerData(8, Qt::Horizontal).toString(), QStringLiteral("Distance"));
        f.editor(table);
        table->BitBtn2Click();
        QCOMPARE(f.edited.back(), f.file("distances.txt"));
        QCOMPARE(QByteArray::fromStdString(read_file_bytes(f.file("distances.txt").toStdString())),
                 command_line(f, {"distances", "-o", "-"}));
        table->sortie();
        QVERIFY(!QFile::exists(f.file("distances.txt")));

        tool(w, QStringLiteral("Display the list of the generated coordinates"))->trigger();
        Tfdisp_coord* list = w.coordinates_window();
        QVERIFY(list->isVisible());
        QCOMPARE(list->list()->model()->rowCount(), 8);
        QCOMPARE(list->list()->model()->index(1, 0).data().toString().toStdString(), coordinates_lines(*f.model)[1]);
        // The selected lines go to the clipboard in their order.
        for (int row : {3, 1})
            list->list()->selectionModel()->select(list->list()->model()->index(row, 0), QItemSelectionModel::Select);
        list->copy_clipboard();
        QCOMPARE(QApplication::clipboard()->text().toStdString(),
                 coordinates_lines(*f.model)[1] + "\n" + coordinates_lines(*f.model)[3]);
        // An editor that cannot start is said in the window.
        list->open_editor = [](const QString&, QString& error) {
            error = QStringLiteral("The editor could not be started: nothing");
            return false;
        };
        list->BitBtn2Click();
        QCOMPARE(list->status_text(), QStringLiteral("The editor could not be started: nothing"));
        QCOMPARE(QByteArray::fromStdString(read_file_bytes(f.file("coordonnees.txt").toStdString())),
                 command_line(f, {"coordinates", "-o", "-"}));
        list->sortie();
        QVERIFY(!QFile::exists(f.file("coordonnees.txt")));
    }

    // The window's loops are the command line's, written where the other
    // reports are, opened in the editor and deleted on closing.
    void geometry_window_writes_the_cif_loops()
    {
        Fixture f;
        Tfdessin& w = *f.window;
        f.editor(w.geometry_window());
        tool(w, QStringLiteral("Geometry (CIF)"))->trigger();
        QCOMPARE(f.edited.back(), f.file("geometry.cif"));
        const QByteArray written = QByteArray::fromStdString(read_file_bytes(f.file("geometry.cif").toStdString()));
        QCOMPARE(written, command_line(f, {"geometry", "-o", "-"}));
        QVERIFY(written.contains("_geom_angle_site_symmetry_3"));
        QCOMPARE(w.geometry_window()->text_area()->toPlainText().toUtf8(), written);
        w.geometry_window()->sortie();
        QVERIFY(!QFile::exists(f.file("geometry.cif")));
    }

    void shared_files_plotted_give_the_command_line_reports()
    {
        const QString shared = QStringLiteral(KESTRO_SHARED_TESTDATA_DIR);
        if (!QDir(shared).exists()) QSKIP("../shared/testdata is not there");
        for (const char* name : {"/cif/cod_1000006.cif", "/cif/hikari_NaCl.cif", "/shelx/shelxfile_p21c.res"}) {
            const QString path = shared + QString::fromLatin1(name);
            QTemporaryDir directory;
            auto model = std::make_unique<StructureModel>();
            RecordingMessages messages;
            Tfmainmenu main(*model, &messages);
            QVERIFY(main.FormCreate({"kestro"}));
            model->program_directory = directory.path().toStdString();
            main.choose_open_file = [&](const QString&, const QString&) { return path; };
            if (path.endsWith(QStringLiteral(".cif"))) main.CIFfile1Click();
            else main.shelx_input_file();
            main.trace_ortep();
            Tfdessin* drawing = main.drawing_window();
            QVERIFY2(drawing && drawing->isVisible(), name);
            drawing->copy_to_clipboard = [](const QImage&) {};
            Tfdistances* table = drawing->distances_window();
            table->open_editor = [](const QString&, QString&) { return true; };
            table->BitBtn2Click();
            QProcess process;
            process.setWorkingDirectory(directory.path());
            process.start(QStringLiteral(KESTRO_EXECUTABLE),
                          {QStringLiteral("report"), QStringLiteral("distances"), path, QStringLiteral("-o"), QStringLiteral("-")});
            process.waitForFinished(30000);
            const QByteArray window = QByteArray::fromStdString(
                read_file_bytes(directory.filePath(QStringLiteral("distances.txt")).toStdString()));
            QVERIFY2(window.count('\n') > 2, name);
            QCOMPARE(process.readAllStandardOutput(), window);
        }
    }

    void the_users_editor()
    {
        const QString file = QStringLiteral("/tmp/a b/envir.txt");
        QCOMPARE(editor_command(file, "gedit --new-window", "vi", ""),
                 (QStringList{"gedit", "--new-window", file}));
        // A terminal editor runs in a terminal emulator ("sh" stands in for one).
        QCOMPARE(editor_command(file, "", "nano", "sh"), (QStringList{"sh", "-e", "nano", file}));
        QCOMPARE(editor_command(file, "", "emacs", "sh"), (QStringList{"emacs", file}));
        QCOMPARE(editor_command(file, "", "", ""), (QStringList{"xdg-open", file}));
    }
};

QTEST_MAIN(TestReportWindows)
#include "test_report_windows.moc"

// The main window at start-up, with a start-up file, and its file commands,
// run offscreen with a recorder in place of the message boxes.
#include <QtTest>

#include <memory>

#include "../core/recording_messages.h"
#include "model/file_io.h"
#include "model/structure_model.h"
#include "platform/help_viewer.h"
#include "ui/mainmenu.h"

using namespace kestro;

namespace {
const QString Golden = QStringLiteral(KESTRO_TEST_DATA_DIR "/golden.kes");
}

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

        const QString target = dir.filePath("saved");
        window.choose_save_file = [&](const QString&, const QString&) { return target; };
        window.Kestrofile2Click();
        QCOMPARE(read_file_bytes((target + ".kes").toStdString()), read_file_bytes(Golden.toStdString()));
        messages.answers = {Answer::No};
        window.choose_save_file = [&](const QString&, const QString&) { return target + ".kes"; };
        model->title = "changed";
        window.Kestrofile2Click();
        QCOMPARE(messages.asked.back(), std::string("This file already exists. Do you want to continue?"));
        QCOMPARE(read_file_bytes((target + ".kes").toStdString()), read_file_bytes(Golden.toStdString()));
        QVERIFY(messages.shown.empty());
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

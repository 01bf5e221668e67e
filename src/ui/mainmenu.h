#pragma once
// The main window: where a structure is typed or loaded, saved and plotted.

#include <QMainWindow>
#include <functional>
#include <memory>

#include "model/messages.h"
#include "model/structure_model.h"

class QLabel;
class QPlainTextEdit;
class QGroupBox;

namespace kestro {

class HelpViewer;
class Tfdessin;

class Tfmainmenu : public QMainWindow {
    Q_OBJECT
public:
    // messages: the port for every box the window shows; null gives message
    // boxes (tests pass a recorder).
    explicit Tfmainmenu(StructureModel& model, Messages* messages = nullptr, QWidget* parent = nullptr);
    ~Tfmainmenu() override;

    // The start-up steps of the window. False when a reference file is
    // missing: the message has been shown and the program must end.
    bool FormCreate(const QStringList& arguments);
    // Dispatches a file named on the command line, once, at activation.
    void init_active();
    // "&Plot": reads a structure file pending from the command line.
    void trace_ortep();
    // "Load" > "&Kestro file".
    void lit_en_ascii();
    // "Save" > "&Kestro file".
    void Kestrofile2Click();
    // Refreshes the window from the model after every load.
    void show_loaded_structure();
    // Opens the help window at a context number.
    void open_help(int context);
    void reset_structure();

    // Shows the drawing window on the plotted structure (created once).
    void show_drawing();
    Tfdessin* drawing_window() const { return dessin_; }

    Messages& messages() { return *messages_; }
    StructureModel& model() { return model_; }
    QString space_group_caption() const;
    bool data_panel_visible() const;

    // File choosers, dialogs by default; tests replace them.
    std::function<QString(const QString& filters, const QString& selected)> choose_open_file;
    std::function<QString(const QString& filters, const QString& selected)> choose_save_file;

protected:
    bool event(QEvent* event) override;

private:
    void build_menus();
    void update_summary();

    StructureModel& model_;
    std::unique_ptr<Messages> own_messages_;
    Messages* messages_;
    QLabel* space_group_label_ = nullptr;
    QGroupBox* data_panel_ = nullptr;
    QPlainTextEdit* summary_ = nullptr;
    HelpViewer* help_ = nullptr;
    Tfdessin* dessin_ = nullptr;
    std::string announced_;
};

} // namespace kestro

// The Taper dialog (锥度文件生成): One Graph (one drawn contour, per-line angles) or Two Graphs
// (a lower and an upper contour), the machine geometry, and the list of the given program's
// lines with their Degree and Flag cells. OK hands the request to the command and closes only
// when the taper file was written and opened; on a failure the dialog stays open as typed.
// Every field has an object name, so a scripted operator can fill it.
#pragma once

#include <QDialog>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

#include "controller/document/taper_settings.h"
#include "geometry/taper.h"

class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableView;

namespace korvex {

class TaperRowsModel;

// What OK asks the command to generate.
struct TaperRequest {
    bool twoGraphs = false;
    QString below;
    QString upper;
    TaperSettings values;
    std::vector<TaperRow> rows;  // one per listed line (One Graph)
};

// What the dialog needs from around it.
struct TaperDialogServices {
    // The open-file dialog of Browse; nothing when cancelled.
    std::function<std::optional<QString>()> browse;
    // A warning box.
    std::function<void(const QString& text)> tell;
    // "How to set?".
    std::function<void()> howToSet;
    // Generates from the request: true when done; false with the operator told, and `badRow`
    // the row whose Degree cell is wrong (else -1).
    std::function<bool(const TaperRequest& request, int& badRow)> generate;
};

class CTaperDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kName = "TaperDialog";
    static constexpr int kDecimals = 3;

    CTaperDialog(const TaperSettings& initial, TaperDialogServices services, QWidget* parent = nullptr);

    // Puts `path` into the Below (or Upper) field and lists its lines; false (and "The graph
    // showed failed!") when it does not load.
    bool setGraph(bool below, const QString& path);
    TaperRequest request() const;
    // The path whose lines the list shows (empty when none).
    const QString& listedPath() const { return listedPath_; }
    TaperRowsModel& rows() const { return *rows_; }
    void accept() override;

private:
    void browse(bool below);
    bool listLines(const QString& path);
    void fillDegreeColumn();

    TaperDialogServices services_;
    QRadioButton* oneGraph_;
    QRadioButton* twoGraphs_;
    QLineEdit* below_;
    QLineEdit* upper_;
    QDoubleSpinBox* height_;
    QDoubleSpinBox* width_;
    QDoubleSpinBox* base_;
    QDoubleSpinBox* r_;
    QDoubleSpinBox* degree_;
    QDoubleSpinBox* rmin_;
    QComboBox* machineType_;
    QTableView* list_;
    TaperRowsModel* rows_;
    QPushButton* ok_;
    QString listedPath_;
};

// Whether a browsed name is loaded and listed: it contains ".3b", ".iso", ".H3B" or ".h3b".
bool taperListableName(const QString& path);
// The loaded lines of a program file, as the taper generation takes them; false when it does
// not load. `kind` is the detected program kind.
bool loadTaperLines(const QString& path, std::vector<std::string>& lines, int& kind);

}  // namespace korvex

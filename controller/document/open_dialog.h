// The controller's own open dialog: the code-file filters and a drawing of the selected file.
#pragma once

#include <QFileDialog>

namespace korvex {

class CProgramPreview;

class CMyOpenDlg : public QFileDialog {
    Q_OBJECT
public:
    explicit CMyOpenDlg(QWidget* parent = nullptr);
    CProgramPreview* preview() const { return preview_; }

private:
    CProgramPreview* preview_;
};

}  // namespace korvex

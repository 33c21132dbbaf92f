#include "controller/document/open_dialog.h"

#include <QGridLayout>

#include "controller/document/program_preview.h"

namespace korvex {

CMyOpenDlg::CMyOpenDlg(QWidget* parent) : QFileDialog(parent), preview_(new CProgramPreview(this)) {
    setObjectName(QStringLiteral("CMyOpenDlg"));
    setWindowTitle(qtTrId("doc.open_caption"));
    // Our own widgets, so the preview can sit beside the file list.
    setOption(QFileDialog::DontUseNativeDialog, true);
    setAcceptMode(QFileDialog::AcceptOpen);
    setFileMode(QFileDialog::ExistingFile);
    setDefaultSuffix(QStringLiteral("3b"));
    setNameFilters(qtTrId("doc.open_filter").split(QStringLiteral(";;")));
    if (auto* grid = qobject_cast<QGridLayout*>(layout()))
        grid->addWidget(preview_, 0, grid->columnCount(), grid->rowCount(), 1);
    connect(this, &QFileDialog::currentChanged, preview_, &CProgramPreview::showFile);
}

}  // namespace korvex

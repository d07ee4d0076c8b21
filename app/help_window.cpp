#include "app/help_window.h"

#include <QLabel>
#include <QPdfDocument>
#include <QPdfView>
#include <QVBoxLayout>

TFrmHelp::TFrmHelp(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("FrmHelp");
  setWindowTitle("HELP");
  resize(484, 566);
  document_ = new QPdfDocument(this);
  HelpWebBrowser = new QPdfView(this);
  HelpWebBrowser->setObjectName("HelpWebBrowser");
  HelpWebBrowser->setDocument(document_);
  HelpWebBrowser->setPageMode(QPdfView::PageMode::MultiPage);
  HelpWebBrowser->setZoomMode(QPdfView::ZoomMode::FitToWidth);
  error_ = new QLabel(this);
  error_->setAlignment(Qt::AlignCenter);
  error_->setWordWrap(true);
  error_->hide();
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(HelpWebBrowser);
  layout->addWidget(error_);
}

void TFrmHelp::Navigate(const std::filesystem::path& file) {
  const QString name = QString::fromStdString(file.string());
  const QPdfDocument::Error result = document_->load(name);
  const bool ok = result == QPdfDocument::Error::None;
  HelpWebBrowser->setVisible(ok);
  error_->setVisible(!ok);
  if (!ok) error_->setText(QStringLiteral("The manual \"%1\" cannot be shown: the file is missing or damaged.").arg(name));
}

bool TFrmHelp::ShowsDocument() const { return document_->status() == QPdfDocument::Status::Ready; }

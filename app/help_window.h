#pragma once

// The help window: the manual (a PDF) in an embedded viewer beside the main
// window.

#include <QWidget>

#include <filesystem>

class QPdfDocument;
class QPdfView;
class QLabel;

class TFrmHelp final : public QWidget {
  Q_OBJECT
public:
  explicit TFrmHelp(QWidget* parent = nullptr);

  // Shows the PDF `file`; a file that cannot be opened shows a page saying so.
  void Navigate(const std::filesystem::path& file);
  bool ShowsDocument() const;

  QPdfView* HelpWebBrowser;

private:
  QPdfDocument* document_;
  QLabel* error_;
};

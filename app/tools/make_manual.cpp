// Builds a manual PDF (A4) from its Markdown source: a title page, a table of
// contents, the text with a page break before every chapter, and a footer
// with the page number on every page after the title.
//
//   vqx_make_manual --input FILE.md --output FILE.PDF [--images DIR]... [--logo FILE.svg] [--version TEXT]
//
// The Markdown file starts with an HTML comment holding the texts of the
// title page and the footer, one "key: value" per line:
//
//   <!--
//   title: VELDRA QX
//   subtitle: Manual
//   note: For operators and calibration technicians
//   version: Program version {version}
//   contents: Contents
//   footer: VELDRA QX Manual
//   page: Page {page} of {pages}
//   -->
//
// A picture written alone on a line, ![caption](name.png), is looked up in
// the --images folders in their order; the first one holding it wins. A
// picture found nowhere is left out together with its caption, so the manual
// builds before any screenshot exists.

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QMap>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QStringList>
#include <QSvgRenderer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QUrl>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

constexpr int kResolution = 300;  // device pixels per inch of the PDF writer
const char* const kBodyFont = "DejaVu Sans";
const QColor kHeadingColor(0x1f, 0x3a, 0x5f);
const QColor kRuleColor(0x9a, 0xa5, 0xb1);

// The text font. A hair of letter spacing keeps the shaper from joining
// "fi", "ff" and the like into ligatures, so that the text of the PDF can
// be searched and copied as written.
QFont TextFont(int points, QFont::Weight weight = QFont::Normal) {
  QFont font(kBodyFont, points, weight);
  font.setLetterSpacing(QFont::AbsoluteSpacing, 0.05);
  return font;
}

struct Options {
  QString input;
  QString output;
  QStringList imageFolders;
  QString logo;
  QString version;
};

struct Heading {
  int level = 0;
  QString text;
  int page = 0;  // 0-based page of the body
};

void Fail(const QString& text) {
  std::fprintf(stderr, "vqx_make_manual: %s\n", text.toLocal8Bit().constData());
  std::exit(1);
}

Options ParseArguments(const QStringList& args) {
  Options o;
  for (int i = 1; i < args.size(); ++i) {
    const QString& a = args[i];
    if (i + 1 >= args.size()) Fail("the option " + a + " needs a value");
    const QString value = args[++i];
    if (a == "--input") {
      o.input = value;
    } else if (a == "--output") {
      o.output = value;
    } else if (a == "--images") {
      o.imageFolders << value;
    } else if (a == "--logo") {
      o.logo = value;
    } else if (a == "--version") {
      o.version = value;
    } else {
      Fail("unknown option " + a);
    }
  }
  if (o.input.isEmpty() || o.output.isEmpty()) {
    Fail("usage: vqx_make_manual --input FILE.md --output FILE.PDF [--images DIR]... [--logo FILE.svg] "
         "[--version TEXT]");
  }
  return o;
}

// The leading comment block of key: value lines; removed from the text.
QMap<QString, QString> TakeTitleBlock(QString& markdown) {
  QMap<QString, QString> keys;
  static const QRegularExpression block(R"(^\s*<!--(.*?)-->\s*)", QRegularExpression::DotMatchesEverythingOption);
  const QRegularExpressionMatch m = block.match(markdown);
  if (!m.hasMatch()) return keys;
  for (const QString& line : m.captured(1).split('\n')) {
    const int colon = line.indexOf(':');
    if (colon > 0) keys[line.left(colon).trimmed()] = line.mid(colon + 1).trimmed();
  }
  markdown.remove(0, m.capturedLength());
  return keys;
}

// Pictures alone on a line: resolved through the image folders and followed
// by their caption; left out (with a note) when no folder holds them.
QString ResolvePictures(const QString& markdown, const QStringList& folders, QStringList& found) {
  static const QRegularExpression picture(R"(^!\[([^\]]*)\]\(([^)\s]+)\)[ \t]*$)",
                                          QRegularExpression::MultilineOption);
  QString out;
  qsizetype last = 0;
  auto it = picture.globalMatch(markdown);
  while (it.hasNext()) {
    const QRegularExpressionMatch m = it.next();
    out += markdown.mid(last, m.capturedStart() - last);
    last = m.capturedEnd();
    const QString caption = m.captured(1);
    const QString name = m.captured(2);
    QString path;
    for (const QString& folder : folders) {
      const QFileInfo candidate(folder + "/" + name);
      if (candidate.isFile()) {
        path = candidate.absoluteFilePath();
        break;
      }
    }
    if (path.isEmpty()) {
      std::fprintf(stderr, "vqx_make_manual: picture %s not found; left out\n", name.toLocal8Bit().constData());
      continue;
    }
    found << path;
    out += "![" + caption + "](" + path + ")\n\n*" + caption + "*";
  }
  out += markdown.mid(last);
  return out;
}

QString Fill(QString text, const QMap<QString, QString>& values) {
  for (auto it = values.begin(); it != values.end(); ++it) text.replace("{" + it.key() + "}", it.value());
  return text;
}

// Fonts, colours, spacing, page breaks, picture sizes and tables of the body.
// Chapters (level 1 headings) are numbered and start on a new page.
void StyleDocument(QTextDocument& doc, double bodyWidthCssPixels) {
  int chapter = 0;
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
    QTextCursor c(b);
    QTextBlockFormat bf = b.blockFormat();
    const int level = bf.headingLevel();
    if (level > 0) {
      if (level == 1) {
        if (chapter > 0) bf.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        c.insertText(QString::number(++chapter) + "  ");
        c.movePosition(QTextCursor::StartOfBlock);
      }
      bf.setTopMargin(level == 1 ? 0 : 14);
      bf.setBottomMargin(6);
      c.setBlockFormat(bf);
      c.select(QTextCursor::BlockUnderCursor);
      QTextCharFormat cf;
      cf.setForeground(kHeadingColor);
      c.mergeCharFormat(cf);
    } else if (bf.bottomMargin() < 4) {
      bf.setBottomMargin(4);
      c.setBlockFormat(bf);
    }
    // Pictures no wider than the text and centred in their paragraph.
    for (auto f = b.begin(); !f.atEnd(); ++f) {
      const QTextFragment fragment = f.fragment();
      if (!fragment.charFormat().isImageFormat()) continue;
      QTextImageFormat image = fragment.charFormat().toImageFormat();
      const QImage picture = doc.resource(QTextDocument::ImageResource, QUrl(image.name())).value<QImage>();
      if (picture.isNull()) continue;
      const double width = std::min<double>(picture.width(), bodyWidthCssPixels);
      image.setWidth(width);
      image.setHeight(width * picture.height() / picture.width());
      QTextCursor pc(&doc);
      pc.setPosition(fragment.position());
      pc.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
      pc.setCharFormat(image);
      QTextBlockFormat centred = b.blockFormat();
      centred.setAlignment(Qt::AlignHCenter);
      centred.setTopMargin(6);
      pc.setBlockFormat(centred);
      // The caption paragraph that follows.
      const QTextBlock next = b.next();
      if (next.isValid()) {
        QTextCursor cc(next);
        QTextBlockFormat captionFormat = next.blockFormat();
        captionFormat.setAlignment(Qt::AlignHCenter);
        captionFormat.setBottomMargin(10);
        cc.setBlockFormat(captionFormat);
      }
    }
  }
  for (QTextFrame* frame : doc.rootFrame()->childFrames()) {
    auto* table = qobject_cast<QTextTable*>(frame);
    if (!table) continue;
    QTextTableFormat tf = table->format();
    tf.setBorder(0.5);
    tf.setBorderBrush(kRuleColor);
    tf.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    tf.setCellPadding(3);
    tf.setCellSpacing(0);
    tf.setTopMargin(4);
    tf.setBottomMargin(8);
    tf.setWidth(QTextLength(QTextLength::PercentageLength, 100));
    table->setFormat(tf);
  }
}

bool HoldsPicture(const QTextBlock& b) {
  for (auto f = b.begin(); !f.atEnd(); ++f) {
    if (f.fragment().charFormat().isImageFormat()) return true;
  }
  return false;
}

// A heading or picture that ends a page while what follows it (the text of
// its section, the caption) starts the next one: the number of its block, or
// -1 when there is none.
int FirstStranded(QTextDocument& doc, double pageHeight) {
  QAbstractTextDocumentLayout* layout = doc.documentLayout();
  // The page of a block's first line: a line that does not fit is moved to
  // the next page inside its block.
  auto pageOf = [&](const QTextBlock& b) {
    double top = layout->blockBoundingRect(b).top();
    if (doc.frameAt(b.position()) == doc.rootFrame() && b.layout()->lineCount() > 0) {
      top = b.layout()->position().y() + b.layout()->lineAt(0).y();
    }
    return static_cast<int>((top + 0.5) / pageHeight);
  };
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
    const QTextBlock next = b.next();
    if (!next.isValid() || (b.blockFormat().headingLevel() == 0 && !HoldsPicture(b))) continue;
    if (b.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore) continue;
    if (next.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore) continue;
    if (pageOf(next) != pageOf(b)) return b.blockNumber();
  }
  return -1;
}

void BreakBefore(QTextDocument& doc, int blockNumber) {
  const QTextBlock b = doc.findBlockByNumber(blockNumber);
  QTextBlockFormat f = b.blockFormat();
  f.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
  QTextCursor(b).setBlockFormat(f);
}

// The headings of levels 1 and 2 with the body page they start on.
std::vector<Heading> Headings(QTextDocument& doc, double pageHeight) {
  std::vector<Heading> headings;
  QAbstractTextDocumentLayout* layout = doc.documentLayout();
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
    const int level = b.blockFormat().headingLevel();
    if (level < 1 || level > 2) continue;
    // A heading moved to a new page starts exactly at its top: half a pixel
    // keeps rounding from placing it at the end of the page before.
    const double top = layout->blockBoundingRect(b).top();
    headings.push_back({level, b.text(), static_cast<int>((top + 0.5) / pageHeight)});
  }
  return headings;
}

// The table of contents as its own document; page numbers are those printed.
// Block lengths (tab positions, margins) are in CSS pixels: the layout scales
// them to the paint device.
void BuildContents(QTextDocument& toc, const QString& title, const std::vector<Heading>& headings, int firstBodyPage,
                   double widthCssPixels) {
  toc.clear();
  QTextCursor c(&toc);
  QTextBlockFormat titleBlock;
  titleBlock.setBottomMargin(12);
  QTextCharFormat titleChars;
  titleChars.setFont(TextFont(18, QFont::Bold));
  titleChars.setForeground(kHeadingColor);
  c.setBlockFormat(titleBlock);
  c.insertText(title, titleChars);
  for (const Heading& h : headings) {
    const double indent = h.level == 1 ? 0 : 20;
    QTextBlockFormat line;
    line.setTabPositions({QTextOption::Tab(widthCssPixels - indent - 1, QTextOption::RightTab)});
    line.setLeftMargin(indent);
    line.setTopMargin(h.level == 1 ? 6 : 0);
    QTextCharFormat chars;
    chars.setFont(TextFont(h.level == 1 ? 11 : 10, h.level == 1 ? QFont::Bold : QFont::Normal));
    c.insertBlock(line);
    c.insertText(h.text + "\t" + QString::number(h.page + firstBodyPage), chars);
  }
}

int PageCount(QTextDocument& doc) { return std::max(1, doc.pageCount()); }

void DrawPage(QPainter& p, QTextDocument& doc, int page, const QRectF& body) {
  p.save();
  p.translate(body.left(), body.top() - page * body.height());
  QAbstractTextDocumentLayout::PaintContext ctx;
  ctx.clip = QRectF(0, page * body.height(), body.width(), body.height());
  ctx.palette.setColor(QPalette::Text, Qt::black);
  p.setClipRect(ctx.clip);
  doc.documentLayout()->draw(&p, ctx);
  p.restore();
}

void DrawFooter(QPainter& p, const QRectF& area, const QString& left, const QString& right) {
  p.save();
  p.setPen(QPen(kRuleColor, 3));
  p.drawLine(area.topLeft(), area.topRight());
  p.setPen(Qt::darkGray);
  p.setFont(TextFont(8));
  const QRectF text = area.adjusted(0, area.height() * 0.25, 0, 0);
  p.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, left);
  p.drawText(text, Qt::AlignRight | Qt::AlignVCenter, right);
  p.restore();
}

void DrawTitlePage(QPainter& p, const QRectF& page, const QMap<QString, QString>& keys, const QString& logo) {
  p.save();
  double y = page.top() + page.height() * 0.12;
  if (!logo.isEmpty()) {
    QSvgRenderer svg(logo);
    if (svg.isValid()) {
      const QSizeF natural = svg.defaultSize();
      const double w = page.width() * 0.55;
      const double h = natural.width() > 0 ? w * natural.height() / natural.width() : w / 2.5;
      svg.render(&p, QRectF(page.left() + (page.width() - w) / 2, y, w, h));
      y += h + page.height() * 0.08;
    } else {
      std::fprintf(stderr, "vqx_make_manual: logo %s cannot be read; left out\n", logo.toLocal8Bit().constData());
    }
  }
  auto line = [&](const QString& text, int points, bool bold, const QColor& colour, double gap) {
    if (text.isEmpty()) return;
    const QFont font = TextFont(points, bold ? QFont::Bold : QFont::Normal);
    p.setFont(font);
    p.setPen(colour);
    const QRectF box(page.left(), y, page.width(), page.height());
    const QRectF used = p.boundingRect(box, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, text);
    p.drawText(box, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, text);
    y += used.height() + gap;
  };
  const double gap = page.height() * 0.02;
  line(keys.value("title"), 32, true, kHeadingColor, gap);
  line(keys.value("subtitle"), 20, false, kHeadingColor, gap * 3);
  line(keys.value("note"), 12, false, Qt::black, gap);
  line(keys.value("version"), 10, false, Qt::darkGray, gap);
  p.restore();
}

}  // namespace

int main(int argc, char** argv) {
  // A build tool: it never needs a display.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const Options options = ParseArguments(app.arguments());

  QFile in(options.input);
  if (!in.open(QIODevice::ReadOnly)) Fail("cannot read " + options.input);
  QString markdown = QString::fromUtf8(in.readAll());
  QMap<QString, QString> keys = TakeTitleBlock(markdown);
  for (auto& value : keys) value.replace("{version}", options.version);
  QStringList folders = options.imageFolders;
  folders << QFileInfo(options.input).absolutePath();
  QStringList pictures;
  markdown = ResolvePictures(markdown, folders, pictures);

  const QString partial = options.output + ".part";
  QFile::remove(partial);
  {
    QPdfWriter writer(partial);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(20, 18, 20, 14), QPageLayout::Millimeter);
    writer.setResolution(kResolution);
    writer.setTitle(keys.value("title") + " " + keys.value("subtitle"));
    writer.setCreator("vqx_make_manual");

    const double footerHeight = kResolution * 10 / 25.4;  // 10 mm
    const QRectF page(0, 0, writer.width(), writer.height());
    const QRectF body(0, 0, page.width(), page.height() - footerHeight);
    const QRectF footer(0, body.bottom() + footerHeight * 0.3, page.width(), footerHeight * 0.7);
    const double cssPixelsPerDevicePixel = 96.0 / kResolution;

    // The body, laid out afresh after each page break that keeps a heading
    // or picture with what follows: a changed layout is not trusted.
    std::vector<int> breaks;
    std::unique_ptr<QTextDocument> bodyDocument;
    for (;;) {
      bodyDocument = std::make_unique<QTextDocument>();
      QTextDocument& d = *bodyDocument;
      d.documentLayout()->setPaintDevice(&writer);
      d.setDefaultFont(TextFont(10));
      d.setDocumentMargin(0);
      for (const QString& file : pictures) {
        const QImage picture(file);
        if (picture.isNull()) Fail("cannot read the picture " + file);
        d.addResource(QTextDocument::ImageResource, QUrl(file), picture);
      }
      d.setMarkdown(markdown, QTextDocument::MarkdownDialectGitHub);
      StyleDocument(d, body.width() * cssPixelsPerDevicePixel);
      for (int block : breaks) BreakBefore(d, block);
      d.setPageSize(body.size());
      const int stranded = FirstStranded(d, body.height());
      if (stranded < 0) break;
      breaks.push_back(stranded);
    }
    QTextDocument& doc = *bodyDocument;
    const int bodyPages = PageCount(doc);
    const std::vector<Heading> headings = Headings(doc, body.height());

    // The contents take the same number of pages whatever the numbers are.
    QTextDocument toc;
    toc.documentLayout()->setPaintDevice(&writer);
    toc.setDefaultFont(TextFont(10));
    toc.setDocumentMargin(0);
    toc.setPageSize(body.size());
    const double bodyWidthCss = body.width() * cssPixelsPerDevicePixel;
    BuildContents(toc, keys.value("contents", "Contents"), headings, 2, bodyWidthCss);
    const int tocPages = PageCount(toc);
    BuildContents(toc, keys.value("contents", "Contents"), headings, 2 + tocPages, bodyWidthCss);
    const int total = 1 + tocPages + bodyPages;

    QPainter painter;
    if (!painter.begin(&writer)) Fail("cannot write " + partial);
    DrawTitlePage(painter, page, keys, options.logo);
    int number = 1;
    auto footerFor = [&](int n) {
      QMap<QString, QString> values{{"page", QString::number(n)}, {"pages", QString::number(total)}};
      DrawFooter(painter, footer, keys.value("footer"), Fill(keys.value("page", "{page} / {pages}"), values));
    };
    for (int i = 0; i < tocPages; ++i) {
      writer.newPage();
      DrawPage(painter, toc, i, body);
      footerFor(++number);
    }
    for (int i = 0; i < bodyPages; ++i) {
      writer.newPage();
      DrawPage(painter, doc, i, body);
      footerFor(++number);
    }
    if (!painter.end()) Fail("cannot write " + partial);
  }
  // Replace the old manual only with a complete new one.
  QFile::remove(options.output);
  if (!QFile::rename(partial, options.output)) Fail("cannot write " + options.output);
  std::printf("%s\n", options.output.toLocal8Bit().constData());
  return 0;
}

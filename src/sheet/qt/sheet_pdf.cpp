#include "sheet/qt/sheet_pdf.h"

#include "sheet/qt/chart_painter.h"
#include "sheet/qt/palette.h"

#include "files/files.h"

#include <QBuffer>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QRawFont>
#include <QHash>
#include <algorithm>
#include <cmath>
#include <optional>

namespace phe::sheet {

namespace {

const QColor kShade(0xee, 0xf2, 0xf6);
const QColor kAccent(0x1f, 0x4e, 0x79);

// Page geometry in millimetres.
constexpr double kPageW = 210, kPageH = 297;
constexpr double kMarginX = 16, kMarginTop = 14, kMarginBottom = 16;
constexpr double kBlockGap = 5;

// A "nice" tick step for a range.
double TickStep(double span, int ticks) {
  const double raw = span / ticks;
  const double mag = std::pow(10, std::floor(std::log10(raw)));
  for (double f : {1.0, 2.0, 2.5, 5.0, 10.0})
    if (raw <= f * mag) return f * mag;
  return 10 * mag;
}

QString Tick(double v, double step) {
  const int decimals = step >= 1 ? 0 : (step >= 0.1 ? 1 : 2);
  return QString::number(v, 'f', decimals);
}

// Lays the document out page by page. The first pass (no painter) only
// counts the pages, so the footers can say "page n of m".
class Layout {
 public:
  Layout(const Document& doc, QPaintDevice& device, QPainter* painter, int pages)
      : doc_(doc), dev_(device), p_(painter), pages_(pages) {
    u_ = device.logicalDpiX() / 25.4;
    family_ = SheetFontFamily();
  }

  int Run() {
    StartPage(true);
    for (Block b : doc_.blocks) {
      const auto* table = std::get_if<Table>(&b);
      const auto* chart = std::get_if<Chart>(&b);
      if (((table && table->new_page) || (chart && chart->new_page)) && y_ > top_of_body_ + 1) {
        EndPage();
        StartPage(false);
      }
      for (;;) {
        const double h = std::visit([this](const auto& x) { return Height(x); }, b);
        const double room = kPageH - kMarginBottom - 4 - y_;
        const bool page_top = y_ <= top_of_body_ + 1;
        // A table or the working goes on on the next page; anything else moves whole.
        std::optional<Block> rest;
        if (h > room) rest = std::visit([&](auto& x) { return Split(x, room); }, b);
        if (!rest && (h <= room || page_top)) {
          std::visit([this](const auto& x) { Draw(x); }, b);
          y_ += h + kBlockGap;
          break;
        }
        if (rest) {
          std::visit([this](const auto& x) { Draw(x); }, b);
          b = std::move(*rest);
        }
        EndPage();
        StartPage(false);
      }
    }
    EndPage();
    return page_;
  }

 private:
  QFont Font(double pt, bool bold = false) const {
    QFont f(family_);
    f.setPointSizeF(pt);
    f.setBold(bold);
    // Shaping would swap in glyph variants (digits among letters) that the PDF
    // cannot map back to text: a copied or searched number would lose its digits.
    f.setStyleStrategy(static_cast<QFont::StyleStrategy>(QFont::PreferAntialias | QFont::PreferNoShaping));
    return f;
  }
  double LineH(const QFont& f) const { return QFontMetricsF(f, &dev_).height() / u_; }
  QRectF R(double x, double y, double w, double h) const { return {x * u_, y * u_, w * u_, h * u_}; }
  // Height of wrapped text in a column of width w.
  double TextH(const QFont& f, const QString& s, double w) const {
    const QRectF r = QFontMetricsF(f, &dev_).boundingRect(R(0, 0, w, 1000), Qt::TextWordWrap, s);
    return r.height() / u_;
  }
  void Text(const QFont& f, const QColor& c, const QRectF& mm_rect, int flags, const QString& s) {
    if (!p_) return;
    p_->setFont(f);
    p_->setPen(c);
    p_->drawText(R(mm_rect.x(), mm_rect.y(), mm_rect.width(), mm_rect.height()), flags, s);
  }
  void Line(double x1, double y1, double x2, double y2, const QColor& c, double width_mm) {
    if (!p_) return;
    p_->setPen(QPen(c, width_mm * u_));
    p_->drawLine(QPointF(x1 * u_, y1 * u_), QPointF(x2 * u_, y2 * u_));
  }
  void Fill(double x, double y, double w, double h, const QColor& c) {
    if (p_) p_->fillRect(R(x, y, w, h), c);
  }
  double Width() const { return kPageW - 2 * kMarginX; }

  void StartPage(bool first) {
    ++page_;
    if (p_ && page_ > 1) static_cast<QPagedPaintDevice&>(dev_).newPage();
    y_ = kMarginTop;
    const double x = kMarginX, w = Width();
    if (first) {
      const QFont title = Font(15, true);
      const QFont small = Font(8);
      const double th = LineH(title);
      Text(title, kAccent, QRectF(x, y_, w, th), Qt::AlignLeft | Qt::AlignVCenter, Q(doc_.title));
      Text(small, kGrey, QRectF(x, y_, w, th / 2), Qt::AlignRight | Qt::AlignVCenter, Q(doc_.program));
      Text(small, kGrey, QRectF(x, y_ + th / 2, w, th / 2), Qt::AlignRight | Qt::AlignVCenter,
           Q(doc_.when));
      y_ += th + 1;
      Line(x, y_, x + w, y_, kAccent, 0.6);
      y_ += 2.5;
      const QFont big = Font(13, true);
      const double bh = LineH(big);
      Text(big, kInk, QRectF(x, y_, w, bh), Qt::AlignLeft | Qt::AlignVCenter, Q(doc_.designation));
      Text(Font(9), kGrey, QRectF(x, y_, w, bh), Qt::AlignRight | Qt::AlignVCenter,
           Q(doc_.case_line));
      y_ += bh;
      if (!doc_.project_line.empty()) {
        const QFont f = Font(9);
        const double h = TextH(f, Q(doc_.project_line), w);
        Text(f, kInk, QRectF(x, y_ + 0.5, w, h), Qt::AlignLeft | Qt::TextWordWrap,
             Q(doc_.project_line));
        y_ += h + 0.5;
      }
      y_ += 3;
    } else {
      const QFont f = Font(8);
      const double h = LineH(f);
      Text(f, kGrey, QRectF(x, y_, w, h), Qt::AlignLeft | Qt::AlignVCenter, Q(doc_.title));
      Text(f, kGrey, QRectF(x, y_, w, h), Qt::AlignRight | Qt::AlignVCenter, Q(doc_.designation));
      y_ += h + 0.5;
      Line(x, y_, x + w, y_, kRule, 0.3);
      y_ += 4;
    }
    top_of_body_ = y_;
  }

  void EndPage() {
    const double x = kMarginX, w = Width();
    const double y = kPageH - kMarginBottom + 3;
    Line(x, y, x + w, y, kRule, 0.3);
    const QFont f = Font(7.5);
    const double h = LineH(f);
    Text(f, kGrey, QRectF(x, y + 1, w * 0.8, h), Qt::AlignLeft | Qt::AlignVCenter, Q(doc_.footer));
    QString page = Q(doc_.page_pattern).arg(page_).arg(std::max(pages_, page_));
    Text(f, kGrey, QRectF(x, y + 1, w, h), Qt::AlignRight | Qt::AlignVCenter, page);
  }

  // Section caption with its accent mark.
  double TitleH() const { return LineH(Font(10, true)) + 1.5; }
  void DrawTitle(const std::string& title) {
    const QFont f = Font(10, true);
    const double h = LineH(f);
    Fill(kMarginX, y_ + h * 0.18, 1.2, h * 0.64, kAccent);
    Text(f, kAccent, QRectF(kMarginX + 2.6, y_, Width(), h), Qt::AlignLeft | Qt::AlignVCenter,
         Q(title));
  }

  // Keeps in `x` what fits in `room` and returns the rest, captioned as
  // continued; nothing when too little would be left on this page.
  template <class B>
  std::optional<Block> Split(B&, double) const {
    return std::nullopt;
  }
  std::optional<Block> Split(Table& t, double room) const {
    const size_t head = t.header ? 1 : 0;
    // Each part lays out its own columns and may get larger type: rows of the
    // largest type always fit.
    const auto fit = static_cast<size_t>(std::max(0.0, (room - TitleH()) / RowH()));
    if (fit < head + 3 || fit >= t.rows.size()) return std::nullopt;
    Table rest = t;
    rest.title += doc_.continued;
    rest.rows.assign(t.rows.begin() + static_cast<std::ptrdiff_t>(fit), t.rows.end());
    if (t.header) rest.rows.insert(rest.rows.begin(), t.rows.front());
    t.rows.resize(fit);
    return rest;
  }
  std::optional<Block> Split(Working& w, double room) const {
    double h = TitleH();
    size_t fit = 0;
    while (fit < w.lines.size() && h + LineHeight(w.lines[fit]) <= room) h += LineHeight(w.lines[fit++]);
    if (fit < 3 || fit >= w.lines.size()) return std::nullopt;
    Working rest = w;
    rest.title += doc_.continued;
    rest.lines.assign(w.lines.begin() + static_cast<std::ptrdiff_t>(fit), w.lines.end());
    w.lines.resize(fit);
    return rest;
  }

  // ---- tables ----
  static constexpr double kTablePt = 8.5;
  static constexpr double kCellPad = 3;  // mm, both sides of a cell together
  struct Columns {
    std::vector<double> widths;
    double pt = kTablePt;
  };
  Columns ColumnsOf(const Table& t) const {
    Columns out{t.widths, kTablePt};
    if (!t.fit_columns) return out;
    std::vector<double> text(t.widths.size(), 0);
    for (size_t r = 0; r < t.rows.size(); ++r) {
      const QFontMetricsF m(Font(kTablePt, t.header && r == 0), &dev_);
      for (size_t c = 0; c < t.rows[r].size() && c < text.size(); ++c)
        text[c] = std::max(text[c], m.horizontalAdvance(Q(t.rows[r][c])) / u_);
    }
    double sum = 0;
    for (double w : text) sum += w;
    const double room = Width() - kCellPad * static_cast<double>(text.size());
    // Text widths scale with the type size; a little slack for rounding.
    if (sum > room && sum > 0) out.pt = std::max(4.0, kTablePt * room / sum * 0.98);
    for (size_t c = 0; c < text.size(); ++c) out.widths[c] = text[c] * out.pt / kTablePt + kCellPad;
    return out;
  }
  double RowH(double pt = kTablePt) const { return LineH(Font(pt)) * 1.38; }
  double Height(const Table& t) const {
    return TitleH() + RowH(ColumnsOf(t).pt) * static_cast<double>(t.rows.size());
  }
  void Draw(const Table& t) {
    DrawTitle(t.title);
    double y = y_ + TitleH();
    const Columns cols = ColumnsOf(t);
    double total = 0;
    for (double w : cols.widths) total += w;
    const double rh = RowH(cols.pt);
    const QFont body = Font(cols.pt);
    const QFont head = Font(cols.pt, true);
    for (size_t r = 0; r < t.rows.size(); ++r) {
      const bool header = t.header && r == 0;
      if (header) Fill(kMarginX, y, Width(), rh, kShade);
      else if (r % 2 == 0) Fill(kMarginX, y, Width(), rh, QColor(0xf8, 0xf9, 0xfb));
      double x = kMarginX;
      for (size_t c = 0; c < t.rows[r].size() && c < t.widths.size(); ++c) {
        const double w = Width() * cols.widths[c] / total;
        int flags = Qt::AlignVCenter;
        switch (t.align[c]) {
          case Align::kLeft: flags |= Qt::AlignLeft; break;
          case Align::kRight: flags |= Qt::AlignRight; break;
          case Align::kCenter: flags |= Qt::AlignHCenter; break;
        }
        // Captions of a key/value table (even columns) in grey.
        const bool caption = !t.header && c % 2 == 0;
        Text(header ? head : body, caption ? kGrey : kInk, QRectF(x + 1.5, y, w - 3, rh), flags,
             Q(t.rows[r][c]));
        x += w;
      }
      y += rh;
      Line(kMarginX, y, kMarginX + Width(), y, header ? kRule : QColor(0xe1, 0xe6, 0xeb),
           header ? 0.3 : 0.15);
    }
  }

  // ---- working lines ----
  static constexpr double kCaptionW = 46;
  double LineHeight(const std::pair<std::string, std::string>& l) const {
    const double w = Width() - kCaptionW;
    return std::max(TextH(Font(8.5), Q(l.first), kCaptionW - 2), TextH(Font(8.5), Q(l.second), w)) +
           1.4;
  }
  double Height(const Working& w) const {
    double h = TitleH();
    for (const auto& l : w.lines) h += LineHeight(l);
    return h;
  }
  void Draw(const Working& w) {
    DrawTitle(w.title);
    double y = y_ + TitleH();
    const QFont f = Font(8.5);
    for (const auto& l : w.lines) {
      const double h = LineHeight(l);
      Text(f, kGrey, QRectF(kMarginX + 1.5, y + 0.7, kCaptionW - 2, h), Qt::AlignLeft | Qt::TextWordWrap,
           Q(l.first));
      Text(f, kInk, QRectF(kMarginX + kCaptionW, y + 0.7, Width() - kCaptionW, h),
           Qt::AlignLeft | Qt::TextWordWrap, Q(l.second));
      y += h;
    }
  }

  // ---- notes ----
  QStringList NoteLines(const Notes& n) const {
    QStringList out;
    for (size_t i = 0; i < n.items.size(); ++i)
      out << QString::number(static_cast<int>(i) + 1) + ". " + Q(n.items[i]);
    if (out.isEmpty()) out << Q(n.empty);
    return out;
  }
  double Height(const Notes& n) const {
    double h = TitleH();
    for (const QString& s : NoteLines(n)) h += TextH(Font(8.5), s, Width() - 3) + 1.2;
    return h;
  }
  void Draw(const Notes& n) {
    DrawTitle(n.title);
    double y = y_ + TitleH();
    const QFont f = Font(8.5);
    const QColor c = n.items.empty() ? kGrey : QColor(0x9a, 0x5b, 0x00);
    for (const QString& s : NoteLines(n)) {
      const double h = TextH(f, s, Width() - 3);
      Text(f, c, QRectF(kMarginX + 1.5, y + 0.6, Width() - 3, h), Qt::AlignLeft | Qt::TextWordWrap, s);
      y += h + 1.2;
    }
  }

  // ---- diagram ----
  static constexpr double kPlotH = 68;
  double Height(const Diagram& d) const {
    return TitleH() + kPlotH + (d.note.empty() ? 0 : LineH(Font(8)) + 1);
  }
  void Draw(const Diagram& d) {
    DrawTitle(d.title);
    const QFont f = Font(8);
    const double lh = LineH(f);
    // Plot frame: room for the tick labels at the left and below, the legend above.
    const double x0 = kMarginX + 16, x1 = kMarginX + Width() - 22;
    const double top = y_ + TitleH() + lh + 2, bottom = y_ + TitleH() + kPlotH - 2 * lh - 2;
    double t_min = 1e9, t_max = -1e9;
    for (const auto* curve : {&d.hot, &d.cold})
      for (const auto& pt : *curve) t_min = std::min(t_min, pt.t), t_max = std::max(t_max, pt.t);
    if (!(t_max > t_min)) t_max = t_min + 1;
    const double t_step = TickStep(t_max - t_min, 5);
    const double t_lo = std::floor(t_min / t_step) * t_step - (std::fmod(t_min, t_step) == 0 ? t_step : 0);
    const double t_hi = std::ceil(t_max / t_step) * t_step + (std::fmod(t_max, t_step) == 0 ? t_step : 0);
    const double q_max = d.q_max > 0 ? d.q_max : 1;
    const double q_step = TickStep(q_max, 5);
    auto X = [&](double q) { return x0 + (x1 - x0) * q / q_max; };
    auto Y = [&](double t) { return bottom - (bottom - top) * (t - t_lo) / (t_hi - t_lo); };

    // Grid and ticks.
    for (double t = t_lo; t <= t_hi + t_step / 1000; t += t_step) {
      Line(x0, Y(t), x1, Y(t), QColor(0xe4, 0xe8, 0xec), 0.15);
      Text(f, kGrey, QRectF(x0 - 15, Y(t) - lh / 2, 13.5, lh), Qt::AlignRight | Qt::AlignVCenter,
           Tick(t, t_step));
    }
    for (double q = 0; q <= q_max + q_step / 1000; q += q_step) {
      Line(X(q), top, X(q), bottom, QColor(0xe4, 0xe8, 0xec), 0.15);
      Text(f, kGrey, QRectF(X(q) - 10, bottom + 0.8, 20, lh), Qt::AlignHCenter | Qt::AlignTop,
           Tick(q, q_step));
    }
    Line(x0, top, x0, bottom, kGrey, 0.3);
    Line(x0, bottom, x1, bottom, kGrey, 0.3);
    Line(x1, top, x1, bottom, kRule, 0.2);
    Line(x0, top, x1, top, kRule, 0.2);
    Text(f, kGrey, QRectF(x0, bottom + lh + 0.8, x1 - x0, lh), Qt::AlignHCenter | Qt::AlignTop,
         Q(d.x_caption));
    Text(f, kGrey, QRectF(kMarginX, top - lh - 1, 40, lh), Qt::AlignLeft | Qt::AlignVCenter,
         Q(d.y_caption));

    // Legend, above the plot at the right.
    auto legend = [&](double x, const QColor& c, const std::string& caption) {
      Line(x, top - lh / 2 - 1, x + 6, top - lh / 2 - 1, c, 0.6);
      Text(f, kInk, QRectF(x + 7.5, top - lh - 1, 40, lh), Qt::AlignLeft | Qt::AlignVCenter,
           Q(caption));
    };
    legend(x1 - 80, kHot, d.hot_caption);
    legend(x1 - 38, kCold, d.cold_caption);

    if (p_) {
      for (const auto& [curve, color] : {std::pair{&d.hot, kHot}, std::pair{&d.cold, kCold}}) {
        QPainterPath path;
        for (size_t i = 0; i < curve->size(); ++i) {
          const QPointF pt(X((*curve)[i].q) * u_, Y((*curve)[i].t) * u_);
          if (i == 0) path.moveTo(pt);
          else path.lineTo(pt);
        }
        p_->setRenderHint(QPainter::Antialiasing);
        p_->setBrush(Qt::NoBrush);
        p_->setPen(QPen(color, 0.6 * u_, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p_->drawPath(path);
      }
    }
    for (const auto& l : d.labels) {
      // Right-end labels stand beside the frame; at the left end the lines
      // rise to the right, so the room below them is free.
      const bool right = l.q > q_max / 2;
      const double y = right ? Y(l.t) - lh / 2 : Y(l.t) + 0.6;
      Text(f, kInk, QRectF(X(l.q) + 1.5, y, 21, lh), Qt::AlignLeft | Qt::AlignVCenter, Q(l.text));
      if (p_) {
        p_->setPen(Qt::NoPen);
        p_->setBrush(kInk);
        p_->drawEllipse(QPointF(X(l.q) * u_, Y(l.t) * u_), 0.6 * u_, 0.6 * u_);
      }
    }
    if (!d.note.empty())
      Text(f, kGrey, QRectF(kMarginX, y_ + TitleH() + kPlotH, Width(), lh),
           Qt::AlignLeft | Qt::AlignVCenter, Q(d.note));
  }

  // ---- chart ----
  static constexpr double kChartH = 80;
  double Height(const Chart& c) const {
    return TitleH() + kChartH + (c.note.empty() ? 0 : TextH(Font(8), Q(c.note), Width()) + 1);
  }
  void Draw(const Chart& c) {
    DrawTitle(c.title);
    if (p_) PaintChart(*p_, R(kMarginX, y_ + TitleH(), Width(), kChartH), c, family_, u_);
    if (!c.note.empty())
      Text(Font(8), kGrey, QRectF(kMarginX, y_ + TitleH() + kChartH + 0.5, Width(), 40),
           Qt::AlignLeft | Qt::TextWordWrap, Q(c.note));
  }

  const Document& doc_;
  QPaintDevice& dev_;
  QPainter* p_;
  int pages_;
  int page_ = 0;
  double u_ = 1;  // device pixels per millimetre
  double y_ = 0;
  double top_of_body_ = 0;
  QString family_;
};

// Noto Sans CJK draws many ideographs with the glyph of a Kangxi radical
// (面 and ⾯ share one), and Qt's PDF writer maps each glyph back to the
// lowest code point that shows it: copied or searched text would hold the
// radicals. The map from each such radical to the ideograph of its glyph.
QHash<QByteArray, QByteArray> RadicalIdeographs() {
  QHash<QByteArray, QByteArray> out;
  QFont font(SheetFontFamily());
  const QRawFont raw = QRawFont::fromFont(font);
  if (!raw.isValid()) return out;
  QString ideographs;
  for (char32_t c = 0x4E00; c <= 0x9FFF; ++c) ideographs += QChar(static_cast<char16_t>(c));
  const QList<quint32> ideograph_glyphs = raw.glyphIndexesForString(ideographs);
  QHash<quint32, char32_t> first;
  for (qsizetype i = 0; i < ideograph_glyphs.size(); ++i)
    if (ideograph_glyphs[i] && !first.contains(ideograph_glyphs[i]))
      first.insert(ideograph_glyphs[i], 0x4E00 + static_cast<char32_t>(i));
  QString radicals;
  for (char32_t c = 0x2E80; c <= 0x2FDF; ++c) radicals += QChar(static_cast<char16_t>(c));
  const QList<quint32> radical_glyphs = raw.glyphIndexesForString(radicals);
  auto hex = [](char32_t c) { return QByteArray::number(static_cast<uint>(c), 16).toUpper().rightJustified(4, '0'); };
  for (qsizetype i = 0; i < radical_glyphs.size(); ++i) {
    const auto it = first.constFind(radical_glyphs[i]);
    if (radical_glyphs[i] && it != first.constEnd())
      out.insert('<' + hex(0x2E80 + static_cast<char32_t>(i)) + '>', '<' + hex(*it) + '>');
  }
  return out;
}

// Rewrites the radicals of the PDF's ToUnicode maps as their ideographs. Both
// are four hex digits, so no offset in the file moves.
void UnifyRadicals(QByteArray& pdf) {
  const QHash<QByteArray, QByteArray> map = RadicalIdeographs();
  for (const char* kind : {"bfrange", "bfchar"}) {
    const QByteArray begin = QByteArray("begin") + kind, end = QByteArray("end") + kind;
    for (qsizetype at = pdf.indexOf(begin); at >= 0; at = pdf.indexOf(begin, at)) {
      const qsizetype stop = pdf.indexOf(end, at);
      if (stop < 0) break;
      for (qsizetype i = pdf.indexOf('<', at); i >= 0 && i < stop; i = pdf.indexOf('<', i + 1)) {
        const auto it = map.constFind(pdf.mid(i, 6));
        if (it != map.constEnd()) pdf.replace(i, 6, *it);
      }
      at = stop;
    }
  }
}

}  // namespace

QString SheetFontFamily() {
  static const QString family = [] {
    const QString wanted = QStringLiteral("Noto Sans CJK SC");
    if (QFontDatabase::families().contains(wanted)) return wanted;
    for (const char* file : {"/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc",
                             "/usr/share/fonts/opentype/noto/NotoSansCJK-Bold.ttc"})
      QFontDatabase::addApplicationFont(QString::fromUtf8(file));
    if (QFontDatabase::families().contains(wanted)) return wanted;
    return QString();
  }();
  return family;
}

int Render(const Document& doc, QPagedPaintDevice& device) {
  device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                   QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
  const int pages = Layout(doc, device, nullptr, 0).Run();
  QPainter painter(&device);
  return Layout(doc, device, &painter, pages).Run();
}

bool WritePdf(const Document& doc, const std::string& path, std::string* error) {
  // Laid out in memory and written whole: a full disk or a kill never leaves
  // half a sheet in place of the old one.
  QByteArray pdf;
  {
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(600);
    writer.setTitle(Q(doc.title + " " + doc.designation));
    writer.setCreator(Q(doc.program));
    Render(doc, writer);
  }
  UnifyRadicals(pdf);
  try {
    files::WriteWhole(path, pdf.toStdString());
  } catch (const files::FileError& e) {
    if (error) *error = e.what();
    return false;
  }
  return true;
}

}  // namespace phe::sheet

#include "ui/editor/setting_search.h"

#include "params/code_fields.h"
#include "params/field_catalogue.h"

namespace corvanta {

namespace {

const QString kDot = QStringLiteral(" \u00b7 ");

}  // namespace

QString foldedForSearch(const QString& text) {
  const QString split = text.normalized(QString::NormalizationForm_KD);
  QString out;
  out.reserve(split.size());
  for (const QChar c : split)
    if (c.category() != QChar::Mark_NonSpacing && c.category() != QChar::Mark_Enclosing) out += c;
  return out.toCaseFolded().simplified();
}

std::vector<SearchHit> searchSettings(const QString& text, const ParameterValues& values) {
  std::vector<SearchHit> hits;
  const QString wanted = foldedForSearch(text);
  if (wanted.isEmpty()) return hits;
  for (const fields::Field& f : fields::catalogue().fields) {
    const auto at = controlFor(f.path);
    if (!at) continue;
    const QString caption = QString::fromStdString(f.caption);
    const std::string shown = f.show(values);
    const bool code = codes::isCodePath(f.path);
    const bool flag = shown == fields::kChecked || shown == fields::kUnchecked;
    const QString value = QString::fromStdString(code ? codes::shownCode(shown, false) : shown);
    const bool byCaption = foldedForSearch(caption).contains(wanted);
    const bool byValue = !code && !flag && shown != fields::kNotSelected && foldedForSearch(value).contains(wanted);
    if (!byCaption && !byValue) continue;
    SearchHit hit{*at, pageCaption(at->page).replace(QStringLiteral("&&"), QStringLiteral("&")), {}, caption, value};
    if (const qsizetype cut = caption.indexOf(kDot); cut >= 0) {
      hit.row = caption.left(cut);
      hit.caption = caption.mid(cut + kDot.size());
    }
    hits.push_back(std::move(hit));
  }
  return hits;
}

}  // namespace corvanta

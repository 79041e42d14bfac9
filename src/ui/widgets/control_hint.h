#pragma once
// Every editor control carries, besides its name, a hint naming the header
// labels that describe it ("rlbBypass", "lbTPhone1+lbTACK", "lbT1, lbT2").
// The settings text export reads it to label each value, so it is kept as
// data on the widget rather than shown as a tooltip.

#include <QString>
#include <QVariant>
#include <QWidget>

namespace corvanta {

inline constexpr const char* kHintProperty = "hint";

// Row templates carry this hint so that a walk over a page skips them: their
// content is reached through the panel array instead.
inline const QString kTemplateHint = QStringLiteral("VPA");

inline void setHint(QWidget* w, const QString& hint) { w->setProperty(kHintProperty, hint); }

inline QString hintOf(const QObject* o) { return o->property(kHintProperty).toString(); }

}  // namespace corvanta

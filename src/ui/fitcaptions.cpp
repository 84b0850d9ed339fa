#include "fitcaptions.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

#include <algorithm>
#include <climits>

namespace telx5 {

namespace {

// Chinese captions keep 8 points and are set narrower where their places are
// too small; a Latin caption that still does not fit goes half a point below.
constexpr qreal SmallestChinese = 8.0;
constexpr qreal SmallestLatin = 7.5;
constexpr qreal Step = 0.5;
constexpr int NarrowestStretch = 70;
constexpr int StretchStep = 5;

QString caption(const QWidget *control)
{
    if (const auto *label = qobject_cast<const QLabel *>(control))
        return label->text();
    if (const auto *button = qobject_cast<const QAbstractButton *>(control))
        return button->text();
    if (const auto *frame = qobject_cast<const QGroupBox *>(control))
        return frame->title();
    return {};
}

bool isChinese(const QString &text)
{
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() >= 0x2E80; });
}

// The part of the control's width that is not covered by a sibling above it
// across the middle, where the caption is drawn.
int visibleWidth(const QWidget *control)
{
    const QWidget *parent = control->parentWidget();
    if (!parent)
        return control->width();
    const QRect own = control->geometry();
    int right = own.right() + 1;
    const QObjectList &siblings = parent->children();
    // Later children lie above earlier ones.
    for (qsizetype i = siblings.indexOf(control) + 1; i < siblings.size(); ++i) {
        const auto *sibling = qobject_cast<const QWidget *>(siblings.at(i));
        if (!sibling || sibling->isHidden())
            continue;
        const QRect above = sibling->geometry();
        const int middle = own.center().y();
        if (above.intersects(own) && above.left() > own.left() && above.top() <= middle &&
            above.bottom() >= middle)
            right = std::min(right, above.left());
    }
    return right - own.left();
}

bool fits(const QWidget *control, const QFont &font)
{
    const QFontMetrics metrics(font);
    if (const auto *label = qobject_cast<const QLabel *>(control)) {
        const QRect area = label->contentsRect();
        const int width = std::min(area.width(), visibleWidth(label));
        const QRect needed =
            metrics.boundingRect(QRect(0, 0, width, INT_MAX), Qt::TextWordWrap, label->text());
        return needed.width() <= width && needed.height() <= area.height();
    }
    const QStyle *style = control->style();
    if (const auto *box = qobject_cast<const QCheckBox *>(control)) {
        const int decoration = style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, box) +
                               style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, box);
        return decoration + metrics.horizontalAdvance(box->text()) <= visibleWidth(box) &&
               metrics.height() <= box->height();
    }
    if (const auto *button = qobject_cast<const QPushButton *>(control)) {
        // The caption is centred and clipped by the frame only.
        const int margins =
            2 * (style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button) + 1);
        return margins + metrics.horizontalAdvance(button->text()) <= button->width() &&
               metrics.height() <= button->height();
    }
    if (const auto *frame = qobject_cast<const QGroupBox *>(control)) {
        const int margins = 2 * style->pixelMetric(QStyle::PM_LayoutLeftMargin, nullptr, frame);
        return margins + metrics.horizontalAdvance(frame->title()) <= frame->width();
    }
    return true;
}

void fit(QWidget *control)
{
    QFont font = control->font();
    if (font.pointSizeF() <= 0)
        return;
    const bool chinese = isChinese(caption(control));
    const qreal smallest = chinese ? SmallestChinese : SmallestLatin;
    while (!fits(control, font) && font.pointSizeF() - Step >= smallest)
        font.setPointSizeF(font.pointSizeF() - Step);
    for (int stretch = 100 - StretchStep;
         chinese && !fits(control, font) && stretch >= NarrowestStretch; stretch -= StretchStep)
        font.setStretch(stretch);
    if (font != control->font())
        control->setFont(font);
}

// A caption set narrower or smaller than its neighbours looks like a lesser
// one: the captions beside the boxes of one frame all take the smallest
// size and the narrowest stretch that any of them needed.
void matchSizes(const QList<QWidget *> &captions)
{
    qreal size = captions.constFirst()->font().pointSizeF();
    int stretch = 100;
    for (const QWidget *caption : captions) {
        const QFont font = caption->font();
        size = std::min(size, font.pointSizeF());
        if (font.stretch() != QFont::AnyStretch)
            stretch = std::min(stretch, font.stretch());
    }
    for (QWidget *caption : captions) {
        QFont font = caption->font();
        font.setPointSizeF(size);
        if (stretch != 100)
            font.setStretch(stretch);
        if (font != caption->font())
            caption->setFont(font);
    }
}

} // namespace

void fitCaptions(QWidget *window)
{
    // The captions beside the boxes, by frame: labels and check boxes in the
    // window's own font, not the title in its own nor a lone dash.
    QHash<QWidget *, QList<QWidget *>> frames;
    const auto besideBoxes = [&frames](QWidget *control) {
        const QString text = caption(control);
        if (!control->testAttribute(Qt::WA_SetFont) &&
            std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.isLetter(); }))
            frames[control->parentWidget()].append(control);
    };
    for (QLabel *label : window->findChildren<QLabel *>()) {
        besideBoxes(label);
        // A caption that is too long for one line goes on to the next.
        label->setWordWrap(true);
        fit(label);
    }
    for (QAbstractButton *button : window->findChildren<QAbstractButton *>()) {
        if (qobject_cast<QCheckBox *>(button))
            besideBoxes(button);
        fit(button);
    }
    for (QGroupBox *frame : window->findChildren<QGroupBox *>())
        fit(frame);
    for (const QList<QWidget *> &captions : std::as_const(frames))
        matchSizes(captions);
}

} // namespace telx5

#include "toolkit/Pictures.h"

#include <QPainter>
#include <QPainterPath>

namespace toolkit {

namespace {

const QColor kRed(200, 40, 40);
const QColor kBlue(40, 90, 180);
const QColor kGreen(40, 150, 70);

QPixmap Blank(QSize size) {
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// A sheet with a folded corner, the program's picture of a document.
void DrawSheet(QPainter& p, const QRectF& r, const QColor& band, const QString& label) {
    const qreal fold = r.width() * 0.28;
    QPainterPath sheet;
    sheet.moveTo(r.topLeft());
    sheet.lineTo(r.right() - fold, r.top());
    sheet.lineTo(r.right(), r.top() + fold);
    sheet.lineTo(r.bottomRight());
    sheet.lineTo(r.bottomLeft());
    sheet.closeSubpath();
    p.setPen(QPen(QColor(90, 90, 90), 1));
    p.setBrush(Qt::white);
    p.drawPath(sheet);
    p.setBrush(QColor(220, 220, 220));
    p.drawPolygon(
        QPolygonF({QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold),
                   QPointF(r.right(), r.top() + fold)}));
    if (!label.isEmpty()) {
        const QRectF bandRect(r.left(), r.top() + r.height() * 0.55, r.width(), r.height() * 0.25);
        p.fillRect(bandRect, band);
        QFont font = p.font();
        font.setBold(true);
        font.setPixelSize(std::max(6, static_cast<int>(bandRect.height() * 0.7)));
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(bandRect, Qt::AlignCenter, label);
    }
}

// A small landscape: sky, a sun and two hills.
void DrawPhoto(QPainter& p, const QRectF& r) {
    p.setPen(QPen(QColor(90, 90, 90), 1));
    p.setBrush(QColor(170, 210, 240));
    p.drawRect(r);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 200, 40));
    const qreal sun = r.height() * 0.22;
    p.drawEllipse(QPointF(r.left() + r.width() * 0.72, r.top() + r.height() * 0.3), sun, sun);
    p.setBrush(kGreen);
    QPainterPath hills;
    hills.moveTo(r.bottomLeft());
    hills.lineTo(r.left(), r.top() + r.height() * 0.7);
    hills.quadTo(r.left() + r.width() * 0.3, r.top() + r.height() * 0.35,
                 r.left() + r.width() * 0.55, r.top() + r.height() * 0.72);
    hills.quadTo(r.left() + r.width() * 0.8, r.top() + r.height() * 0.5, r.right(),
                 r.top() + r.height() * 0.68);
    hills.lineTo(r.bottomRight());
    hills.closeSubpath();
    p.drawPath(hills);
}

void DrawArrowDown(QPainter& p, const QPointF& top, qreal w, qreal h, const QColor& color) {
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    const qreal shaft = w * 0.36;
    p.drawPolygon(
        QPolygonF({QPointF(top.x() - shaft / 2, top.y()), QPointF(top.x() + shaft / 2, top.y()),
                   QPointF(top.x() + shaft / 2, top.y() + h * 0.5),
                   QPointF(top.x() + w / 2, top.y() + h * 0.5), QPointF(top.x(), top.y() + h),
                   QPointF(top.x() - w / 2, top.y() + h * 0.5),
                   QPointF(top.x() - shaft / 2, top.y() + h * 0.5)}));
}

QIcon GlyphIcon(const std::function<void(QPainter&, qreal)>& draw) {
    QIcon icon;
    for (const int side : {16, 24, 32}) {
        QPixmap pixmap = Blank(QSize(side, side));
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        draw(p, side);
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace

QPixmap BannerPicture(QSize size) {
    QPixmap pixmap(size);
    pixmap.fill(Qt::white);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal w = size.width();
    const qreal h = size.height();
    DrawSheet(p, QRectF(w * 0.12, h * 0.04, w * 0.76, h * 0.3), kRed, QStringLiteral("PDF"));
    for (int i = 0; i < 3; ++i)
        DrawArrowDown(p, QPointF(w * (0.25 + 0.25 * i), h * 0.4), w * 0.22, h * 0.16, kBlue);
    DrawSheet(p, QRectF(w * 0.12, h * 0.63, w * 0.76, h * 0.33), kBlue, QString());
    DrawPhoto(p, QRectF(w * 0.2, h * 0.7, w * 0.56, h * 0.17));
    return pixmap;
}

QPixmap DonateBadge(QSize size) {
    QPixmap pixmap = Blank(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(0.5, 0.5, size.width() - 1.0, size.height() - 1.0);
    p.setPen(QPen(QColor(180, 120, 0), 1));
    p.setBrush(QColor(255, 196, 57));
    p.drawRoundedRect(r, 4, 4);
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(std::max(6, size.height() - 6));
    p.setFont(font);
    p.setPen(QColor(20, 50, 120));
    p.drawText(r, Qt::AlignCenter, QStringLiteral("Donate"));
    return pixmap;
}

QPixmap LogoPicture(QSize size) {
    QPixmap pixmap = Blank(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal w = size.width();
    const qreal h = size.height();
    DrawSheet(p, QRectF(w * 0.06, h * 0.06, w * 0.5, h * 0.66), kRed, QStringLiteral("PDF"));
    DrawPhoto(p, QRectF(w * 0.42, h * 0.42, w * 0.5, h * 0.34));
    DrawPhoto(p, QRectF(w * 0.3, h * 0.6, w * 0.5, h * 0.34));
    return pixmap;
}

QIcon StartGlyph() {
    return GlyphIcon([](QPainter& p, qreal s) {
        p.setPen(Qt::NoPen);
        p.setBrush(kGreen);
        p.drawPolygon(QPolygonF({QPointF(s * 0.25, s * 0.15), QPointF(s * 0.85, s * 0.5),
                                 QPointF(s * 0.25, s * 0.85)}));
    });
}

QIcon StopGlyph() {
    return GlyphIcon([](QPainter& p, qreal s) {
        p.setPen(Qt::NoPen);
        p.setBrush(kRed);
        p.drawRoundedRect(QRectF(s * 0.2, s * 0.2, s * 0.6, s * 0.6), s * 0.08, s * 0.08);
    });
}

QIcon ProGlyph() {
    return GlyphIcon([](QPainter& p, qreal s) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(230, 170, 20));
        QPolygonF star;
        for (int i = 0; i < 10; ++i) {
            const qreal radius = (i % 2 ? 0.2 : 0.45) * s;
            const qreal angle = -M_PI / 2 + i * M_PI / 5;
            star << QPointF(s / 2 + radius * std::cos(angle), s / 2 + radius * std::sin(angle));
        }
        p.drawPolygon(star);
    });
}

QIcon DocumentGlyph() {
    return GlyphIcon([](QPainter& p, qreal s) {
        DrawSheet(p, QRectF(s * 0.18, s * 0.08, s * 0.64, s * 0.84), kRed, QString());
    });
}

QIcon FolderGlyph() {
    return GlyphIcon([](QPainter& p, qreal s) {
        p.setPen(QPen(QColor(150, 110, 20), 1));
        p.setBrush(QColor(240, 200, 90));
        p.drawRect(QRectF(s * 0.08, s * 0.3, s * 0.84, s * 0.55));
        p.drawRect(QRectF(s * 0.08, s * 0.2, s * 0.35, s * 0.12));
    });
}

QIcon PlayGlyph() {
    return GlyphIcon([](QPainter& p, qreal s) {
        p.setPen(Qt::NoPen);
        p.setBrush(kRed);
        p.drawRoundedRect(QRectF(s * 0.05, s * 0.2, s * 0.9, s * 0.6), s * 0.15, s * 0.15);
        p.setBrush(Qt::white);
        p.drawPolygon(QPolygonF(
            {QPointF(s * 0.4, s * 0.33), QPointF(s * 0.66, s * 0.5), QPointF(s * 0.4, s * 0.67)}));
    });
}

} // namespace toolkit

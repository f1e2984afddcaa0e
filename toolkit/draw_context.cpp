#include "toolkit/draw_context.h"

#include <string>

#include "toolkit/bitmap.h"

namespace toolkit {

CDrawContext::CDrawContext(cairo_t* cr, double scaleFactor) : cr(cr), scaleFactor(scaleFactor) {
    cairo_save(cr);
    cairo_scale(cr, scaleFactor, scaleFactor);
}

CDrawContext::~CDrawContext() { cairo_restore(cr); }

void CDrawContext::applyColor(const CColor& color) {
    cairo_set_source_rgba(cr, color.red / 255.0, color.green / 255.0, color.blue / 255.0, color.alpha / 255.0);
}

void CDrawContext::drawRect(const CRect& rect, CDrawStyle style) {
    if (style != kDrawStroked) {
        cairo_rectangle(cr, rect.left, rect.top, rect.getWidth(), rect.getHeight());
        applyColor(fillColor);
        cairo_fill(cr);
    }
    if (style != kDrawFilled) {
        // Keep the stroke inside the rectangle, on whole pixels.
        const CCoord half = lineWidth / 2;
        cairo_rectangle(cr, rect.left + half, rect.top + half, rect.getWidth() - lineWidth,
                        rect.getHeight() - lineWidth);
        cairo_set_line_width(cr, lineWidth);
        applyColor(frameColor);
        cairo_stroke(cr);
    }
}

void CDrawContext::drawRoundRect(const CRect& rect, CCoord radius, CDrawStyle style) {
    auto path = [&](CCoord inset) {
        const CRect r(rect.left + inset, rect.top + inset, rect.right - inset, rect.bottom - inset);
        const CCoord rad = std::min({radius, r.getWidth() / 2, r.getHeight() / 2});
        const double pi = 3.14159265358979323846;
        cairo_new_sub_path(cr);
        cairo_arc(cr, r.right - rad, r.top + rad, rad, -pi / 2, 0);
        cairo_arc(cr, r.right - rad, r.bottom - rad, rad, 0, pi / 2);
        cairo_arc(cr, r.left + rad, r.bottom - rad, rad, pi / 2, pi);
        cairo_arc(cr, r.left + rad, r.top + rad, rad, pi, 3 * pi / 2);
        cairo_close_path(cr);
    };
    if (style != kDrawStroked) {
        path(0);
        applyColor(fillColor);
        cairo_fill(cr);
    }
    if (style != kDrawFilled) {
        path(lineWidth / 2);
        cairo_set_line_width(cr, lineWidth);
        applyColor(frameColor);
        cairo_stroke(cr);
    }
}

void CDrawContext::drawLine(const CPoint& from, const CPoint& to) {
    // Pixel centres, so a 1-unit line covers whole pixels.
    cairo_move_to(cr, from.x + 0.5, from.y + 0.5);
    cairo_line_to(cr, to.x + 0.5, to.y + 0.5);
    cairo_set_line_width(cr, lineWidth);
    applyColor(frameColor);
    cairo_stroke(cr);
}

void CDrawContext::selectFont(bool antialias) {
    cairo_select_font_face(cr, font.name.c_str(),
                           (font.style & kItalicFace) ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                           (font.style & kBoldFace) ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, font.size);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, antialias ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
}

void CDrawContext::drawString(std::string_view utf8, const CRect& rect, CHoriTxtAlign align, bool antialias) {
    if (utf8.empty() || rect.isEmpty()) {
        return;
    }
    const std::string text(utf8);
    cairo_save(cr);
    cairo_rectangle(cr, rect.left, rect.top, rect.getWidth(), rect.getHeight());
    cairo_clip(cr);
    selectFont(antialias);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text.c_str(), &extents);
    cairo_text_extents_t capExtents;
    cairo_text_extents(cr, "H", &capExtents);
    const CCoord capHeight = -capExtents.y_bearing;
    CCoord x = rect.left;
    if (align == kCenterText) {
        x = rect.left + (rect.getWidth() - extents.x_advance) / 2;
    } else if (align == kRightText) {
        x = rect.right - extents.x_advance;
    }
    const CCoord baseline = capHeight > 0 ? rect.getCenter().y + capHeight / 2 : rect.getCenter().y + font.size / 2 - 1;
    cairo_move_to(cr, x, baseline);
    applyColor(fontColor);
    cairo_show_text(cr, text.c_str());
    cairo_restore(cr);
}

CCoord CDrawContext::getStringWidth(std::string_view utf8) {
    const std::string text(utf8);
    cairo_save(cr);
    selectFont(true);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text.c_str(), &extents);
    cairo_restore(cr);
    return extents.x_advance;
}

void CDrawContext::drawBitmap(CBitmap& bitmap, const CRect& dest, const CPoint& sourceOffset, float alpha) {
    const bool use2x = scaleFactor >= 2 && bitmap.hasImage2x();
    cairo_surface_t* image = bitmap.imageFor(scaleFactor);
    if (image == nullptr || dest.isEmpty()) {
        return;
    }
    cairo_save(cr);
    cairo_rectangle(cr, dest.left, dest.top, dest.getWidth(), dest.getHeight());
    cairo_clip(cr);
    cairo_filter_t filter = CAIRO_FILTER_NEAREST;
    if (use2x) {
        // The 2x image maps pixel for pixel onto the 2x device.
        cairo_scale(cr, 0.5, 0.5);
        cairo_set_source_surface(cr, image, (dest.left - sourceOffset.x) * 2, (dest.top - sourceOffset.y) * 2);
    } else {
        cairo_set_source_surface(cr, image, dest.left - sourceOffset.x, dest.top - sourceOffset.y);
        if (scaleFactor != 1) {
            filter = CAIRO_FILTER_GOOD;  // a 1x picture enlarged: smooth rather than blocky
        }
    }
    cairo_pattern_set_filter(cairo_get_source(cr), filter);
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
    if (alpha >= 1.f) {
        cairo_paint(cr);
    } else {
        cairo_paint_with_alpha(cr, alpha);
    }
    cairo_restore(cr);
}

void CDrawContext::saveGlobalState() { cairo_save(cr); }

void CDrawContext::restoreGlobalState() { cairo_restore(cr); }

void CDrawContext::setClipRect(const CRect& rect) {
    cairo_rectangle(cr, rect.left, rect.top, rect.getWidth(), rect.getHeight());
    cairo_clip(cr);
}

}  // namespace toolkit

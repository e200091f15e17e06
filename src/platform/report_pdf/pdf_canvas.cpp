#include "platform/report_pdf/pdf_canvas.h"

#include <cairo-pdf.h>
#include <cairo.h>
#include <pango/pangocairo.h>

#include "platform/error.h"

namespace zelmora::pdf {

namespace {

// The family every page is set in; fonts-dejavu-core installs it.
constexpr const char* kFamily = "DejaVu Sans";

[[noreturn]] void Fail(const std::string& what, cairo_status_t status) {
  throw Error(75, what + ": " + cairo_status_to_string(status));
}

}  // namespace

// cairo's write callback for the canvas's stream.
struct PdfStream {
  static cairo_status_t Write(void* canvas, const unsigned char* data, unsigned int length) {
    const bool written = static_cast<PdfCanvas*>(canvas)->Deliver(
        std::string_view(reinterpret_cast<const char*>(data), length));
    return written ? CAIRO_STATUS_SUCCESS : CAIRO_STATUS_WRITE_ERROR;
  }
};

bool PdfCanvas::Deliver(std::string_view bytes) noexcept {
  // Nothing may unwind through cairo: the failure is kept for Finish, and
  // cairo, told of it, writes nothing more.
  if (writeFailure_) return false;
  try {
    write_(bytes);
    return true;
  } catch (...) {
    writeFailure_ = std::current_exception();
    return false;
  }
}

PdfCanvas::PdfCanvas(Writer write) : write_(std::move(write)) {
  surface_ = cairo_pdf_surface_create_for_stream(&PdfStream::Write, this, kA4Short, kA4Long);
  if (cairo_surface_status(surface_) != CAIRO_STATUS_SUCCESS) {
    const cairo_status_t status = cairo_surface_status(surface_);
    cairo_surface_destroy(surface_);
    surface_ = nullptr;
    if (writeFailure_) std::rethrow_exception(writeFailure_);
    Fail("cannot start the PDF", status);
  }
  cairo_pdf_surface_set_metadata(surface_, CAIRO_PDF_METADATA_CREATOR, "zelmora");
  cr_ = cairo_create(surface_);
  layout_ = pango_cairo_create_layout(cr_);
  font_ = pango_font_description_new();
  pango_font_description_set_family(font_, kFamily);
}

PdfCanvas::~PdfCanvas() {
  if (font_) pango_font_description_free(font_);
  if (layout_) g_object_unref(layout_);
  if (cr_) cairo_destroy(cr_);
  if (surface_) cairo_surface_destroy(surface_);
}

void PdfCanvas::BeginPage(bool landscape) {
  if (pages_ > 0) cairo_show_page(cr_);
  width_ = landscape ? kA4Long : kA4Short;
  height_ = landscape ? kA4Short : kA4Long;
  cairo_pdf_surface_set_size(surface_, width_, height_);
  ++pages_;
}

void PdfCanvas::Layout(std::string_view text, Font font, double width, bool wrap) {
  pango_font_description_set_absolute_size(font_, font.size * PANGO_SCALE);
  pango_font_description_set_weight(font_, font.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
  pango_layout_set_font_description(layout_, font_);
  pango_layout_set_width(layout_, static_cast<int>(width * PANGO_SCALE));
  pango_layout_set_wrap(layout_, PANGO_WRAP_WORD_CHAR);
  pango_layout_set_ellipsize(layout_, wrap ? PANGO_ELLIPSIZE_NONE : PANGO_ELLIPSIZE_END);
  pango_layout_set_text(layout_, text.data(), static_cast<int>(text.size()));
}

void PdfCanvas::Text(double x, double y, double width, std::string_view text, Font font, Align align) {
  if (text.empty() || width <= 0) return;
  Layout(text, font, width, false);
  pango_layout_set_alignment(layout_, align == Align::Left     ? PANGO_ALIGN_LEFT
                                      : align == Align::Center ? PANGO_ALIGN_CENTER
                                                               : PANGO_ALIGN_RIGHT);
  cairo_move_to(cr_, x, y);
  pango_cairo_show_layout(cr_, layout_);
}

double PdfCanvas::Paragraph(double x, double y, double width, std::string_view text, Font font) {
  if (text.empty()) return 0;
  Layout(text, font, width, true);
  pango_layout_set_alignment(layout_, PANGO_ALIGN_LEFT);
  cairo_move_to(cr_, x, y);
  pango_cairo_show_layout(cr_, layout_);
  int w = 0, h = 0;
  pango_layout_get_size(layout_, &w, &h);
  return static_cast<double>(h) / PANGO_SCALE;
}

void PdfCanvas::Line(double x1, double y1, double x2, double y2, double lineWidth) {
  cairo_set_line_width(cr_, lineWidth);
  cairo_move_to(cr_, x1, y1);
  cairo_line_to(cr_, x2, y2);
  cairo_stroke(cr_);
}

void PdfCanvas::Box(double x, double y, double width, double height, double lineWidth) {
  cairo_set_line_width(cr_, lineWidth);
  cairo_rectangle(cr_, x, y, width, height);
  cairo_stroke(cr_);
}

void PdfCanvas::Shade(double x, double y, double width, double height, double grey) {
  cairo_save(cr_);
  cairo_set_source_rgb(cr_, grey, grey, grey);
  cairo_rectangle(cr_, x, y, width, height);
  cairo_fill(cr_);
  cairo_restore(cr_);
}

void PdfCanvas::Finish() {
  if (finished_) return;
  finished_ = true;
  g_object_unref(layout_);
  layout_ = nullptr;
  cairo_destroy(cr_);
  cr_ = nullptr;
  cairo_surface_finish(surface_);
  const cairo_status_t status = cairo_surface_status(surface_);
  cairo_surface_destroy(surface_);
  surface_ = nullptr;
  if (writeFailure_) std::rethrow_exception(writeFailure_);
  if (status != CAIRO_STATUS_SUCCESS) Fail("the PDF could not be written", status);
}

}  // namespace zelmora::pdf

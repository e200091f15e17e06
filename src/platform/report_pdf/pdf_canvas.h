// A PDF document drawn page by page with cairo, its text laid out by pango
// in one font family. Coordinates are points (1/72 inch) from the top left
// corner of the page; text is UTF-8 and is drawn as given.
#pragma once

#include <exception>
#include <functional>
#include <string>
#include <string_view>

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;
typedef struct _PangoLayout PangoLayout;
typedef struct _PangoFontDescription PangoFontDescription;

namespace zelmora::pdf {

enum class Align { Left, Center, Right };

struct Font {
  double size = 8;
  bool bold = false;
};

class PdfCanvas {
 public:
  // The document's bytes go to `write` as they are made (most of them at
  // Finish); a failure of `write` is the canvas's failure, raised by Finish.
  using Writer = std::function<void(std::string_view bytes)>;
  explicit PdfCanvas(Writer write);
  ~PdfCanvas();
  PdfCanvas(const PdfCanvas&) = delete;
  PdfCanvas& operator=(const PdfCanvas&) = delete;

  static constexpr double kA4Short = 595.28;
  static constexpr double kA4Long = 841.89;

  // Starts a page (the first one too): A4, portrait or landscape.
  void BeginPage(bool landscape);
  double width() const { return width_; }
  double height() const { return height_; }
  int pages() const { return pages_; }

  // One line of text in the box from x to x + width, its top at y; text
  // longer than the box is cut with an ellipsis.
  void Text(double x, double y, double width, std::string_view text, Font font = {}, Align align = Align::Left);
  // Text wrapped on as many lines as it needs; returns its height.
  double Paragraph(double x, double y, double width, std::string_view text, Font font = {});
  void Line(double x1, double y1, double x2, double y2, double lineWidth = 0.5);
  void Box(double x, double y, double width, double height, double lineWidth = 0.5);
  void Shade(double x, double y, double width, double height, double grey);

  // Ends the last page and writes the file; a failure is an Error.
  void Finish();

 private:
  void Layout(std::string_view text, Font font, double width, bool wrap);
  // Where cairo's write callback hands the bytes on; false, the first
  // failure kept, when they could not be written.
  bool Deliver(std::string_view bytes) noexcept;
  friend struct PdfStream;
  Writer write_;
  std::exception_ptr writeFailure_;
  cairo_surface_t* surface_ = nullptr;
  cairo_t* cr_ = nullptr;
  PangoLayout* layout_ = nullptr;
  PangoFontDescription* font_ = nullptr;
  double width_ = 0;
  double height_ = 0;
  int pages_ = 0;
  bool finished_ = false;
};

}  // namespace zelmora::pdf

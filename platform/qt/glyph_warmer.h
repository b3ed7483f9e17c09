#pragma once

#include <memory>

#include <QBasicTimer>
#include <QImage>
#include <QObject>

namespace lirako {

class QtGlyphTable;

// Fills Qt's glyph cache in idle time, so that no page turn waits for glyphs to be
// rasterised: after each paint it goes on drawing the warm list of the font the page was
// drawn with (QtGlyphTable::Warm) into a scratch image, a few glyphs per pass of the event
// loop, until the list is done. Any input stops it at once; the next paint resumes it.
class GlyphWarmer : public QObject {
 public:
  GlyphWarmer() = default;
  ~GlyphWarmer() override;

  // Goes on warming the font that drew most since the last call, on a page of `pixelRatio`
  // device pixels per layout pixel.
  void Resume(qreal pixelRatio);
  // Stops until the next Resume.
  void Stop();
  bool running() const { return timer_.isActive(); }

  bool eventFilter(QObject* watched, QEvent* event) override;

 protected:
  void timerEvent(QTimerEvent* event) override;

 private:
  QBasicTimer timer_;
  std::shared_ptr<QtGlyphTable> table_;
  bool rotated_ = false;
  QImage scratch_;
};

}  // namespace lirako

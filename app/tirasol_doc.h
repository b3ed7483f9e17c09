#pragma once

namespace lirako {

class CTirasolView;

// The document of the single-document application: it loads and stores nothing (the text
// lives in the view's engine) and only points back to the view.
class CTirasolDoc {
 public:
  CTirasolView* view() const { return view_; }
  void SetView(CTirasolView* view) { view_ = view; }

 private:
  CTirasolView* view_ = nullptr;
};

}  // namespace lirako

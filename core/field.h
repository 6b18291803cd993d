#pragma once
// A text field of a window. Every setting and run-time state lives in one: the text is
// the value, there is no second copy. Assigning a different text runs the field's change
// rule at once, inside the assignment (so a rule that assigns another field runs that
// field's rule before it goes on); assigning the same text runs nothing.
#include <functional>
#include <string>
#include <utility>

namespace tovren::core {

class Field {
 public:
  Field() = default;
  explicit Field(std::string initial) : text_(std::move(initial)) {}
  Field(const Field&) = delete;
  Field& operator=(const Field&) = delete;

  const std::string& Text() const { return text_; }

  void Set(std::string text) {
    if (text == text_) return;
    text_ = std::move(text);
    if (rule_) rule_();
  }

  // The change rule; one per field, replacing any earlier one.
  void OnChange(std::function<void()> rule) { rule_ = std::move(rule); }

  // On: exactly "1". (The check boxes' own toggling reads "not 0" instead.)
  bool IsOn() const { return text_ == "1"; }

 private:
  std::string text_;
  std::function<void()> rule_;
};

}  // namespace tovren::core

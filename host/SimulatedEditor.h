// A simulated host editor: a document with a caret, a selection and a scroll
// position behind a simulated window, answering every host message the
// plug-in sends with the effect the host gives it.
//
// Logical points (kind 2) address lines split at CR LF, CR and LF, as
// SplitLines splits. Display points (kind 0) address lines wrapped at a fixed
// width, so that a point of one kind read as the other lands elsewhere. The
// document is held line by line with running sums of line lengths and display
// rows, so that a message costs the same on a long document as on a short one
// (an edit that changes the number of lines rebuilds the sums).
//
// It records every message it receives, and can be told to misbehave: reply a
// chosen capacity, write the selection without its NUL, or fail at the Nth
// message.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/plugin.h"
#include "library/StringUnit.h"
#include "platform/SimulatedDesktop.h"

namespace kelvorat::host {

class SimulatedEditor final : public platform::WindowProcedure {
 public:
  struct Message {
    std::uint32_t message = 0;
    WParam wParam = 0;
    LParam lParam = 0;
    MessageResult reply = 0;
    bool misbehaved = false;
    TEditPoint point{0, 0};  // the point sent or filled in; the anchor of HM_SET_SELECTION
    TEditPoint caret{0, 0};  // the caret of HM_SET_SELECTION
    std::size_t at = 0;      // HM_INSERT_TEXT: the offset where the text went
    WideText text;           // HM_INSERT_TEXT: the text; HM_GET_SEL_TEXT: what was written
    WideText removed;        // HM_INSERT_TEXT: the text it replaced
  };

  enum class Misbehaviour {
    Ignore,  // no effect, reply 0, nothing filled in
    Wild,    // no effect, a chosen reply, points filled with extreme values,
             // a text buffer filled with '?' and no NUL
  };

  explicit SimulatedEditor(WideView text = {}, std::int32_t wrapWidth = 8);

  // ---- The document ----
  // Replaces the text: caret at 0, nothing selected, scroll at (0, 0).
  void SetText(WideView text);
  WideText Text() const;
  std::size_t Length() const noexcept { return static_cast<std::size_t>(lengths_.Total()); }
  std::int32_t LineCount() const noexcept { return static_cast<std::int32_t>(lines_.size()); }
  std::int32_t DisplayLineCount() const noexcept { return static_cast<std::int32_t>(rows_.Total()); }
  std::int32_t WrapWidth() const noexcept { return wrapWidth_; }

  // ---- Caret and selection, as 0-based offsets into the text ----
  std::size_t Caret() const noexcept { return caret_; }
  std::size_t Anchor() const noexcept { return anchor_; }
  std::size_t SelectionStart() const noexcept { return caret_ < anchor_ ? caret_ : anchor_; }
  std::size_t SelectionEnd() const noexcept { return caret_ < anchor_ ? anchor_ : caret_; }
  bool HasSelection() const noexcept { return caret_ != anchor_; }
  WideText SelectedText() const;
  // Offsets past the end count as the end.
  void Select(std::size_t anchor, std::size_t caret);

  // Points of either kind; a point outside the text is taken to the nearest
  // place inside it (past the end: the end).
  TEditPoint ToLogical(std::size_t offset) const;
  std::size_t FromLogical(TEditPoint point) const;
  TEditPoint ToDisplay(std::size_t offset) const;
  std::size_t FromDisplay(TEditPoint point) const;

  TEditPoint Scroll() const noexcept { return scroll_; }
  void SetScroll(TEditPoint point) noexcept { scroll_ = point; }
  bool RedrawOn() const noexcept { return redrawOn_; }
  // What HM_QUERY_STATUS replies (1 at first).
  void SetStatusReply(MessageResult reply) noexcept { statusReply_ = reply; }

  // ---- The record of messages ----
  // Recording keeps every message in Log(); counting goes on without it.
  void SetRecording(bool on) noexcept { recording_ = on; }
  const std::vector<Message>& Log() const noexcept { return log_; }
  void ClearLog() noexcept { log_.clear(); }
  std::size_t MessagesReceived() const noexcept { return received_; }
  // How many messages of this number were received.
  std::size_t Received(std::uint32_t message) const noexcept;

  // ---- Misbehaviour ----
  // Every capacity request is answered with this value instead of the true one.
  void SetCapacityReply(std::optional<std::int32_t> capacity) noexcept { capacityReply_ = capacity; }
  // The selection is written without a NUL, and the capacity asked for counts
  // no NUL either.
  void SetWritesNoNul(bool on) noexcept { writesNoNul_ = on; }
  // The nth message from now on (1: the next one) misbehaves.
  void MisbehaveAt(std::size_t nth, Misbehaviour how, MessageResult wildReply = -1) noexcept;

  MessageResult OnMessage(std::uint32_t message, WParam wParam, LParam lParam) override;

 private:
  // Running sums over the lines, kept as a prefix array that is brought up to
  // date on demand from the first line changed: the write-back reads and
  // edits from the top down, so each message extends it by a line or two.
  class RunningSums {
   public:
    void Build(const std::vector<std::int64_t>& values);
    void Add(std::size_t index, std::int64_t delta) noexcept;
    // Sum of the first count values.
    std::int64_t Prefix(std::size_t count) const noexcept;
    std::int64_t Total() const noexcept { return total_; }
    // The largest count whose Prefix is at most target. Precondition: no
    // value is negative.
    std::size_t CountUpTo(std::int64_t target) const noexcept;

   private:
    void Extend(std::size_t count) const noexcept;

    std::vector<std::int64_t> values_;
    mutable std::vector<std::int64_t> prefix_{0};
    mutable std::size_t valid_ = 0;  // prefix_[0..valid_] are up to date
    std::int64_t total_ = 0;
  };

  struct Place {
    std::size_t line;
    std::size_t column;
  };

  Place Locate(std::size_t offset) const noexcept;
  std::size_t LineStart(std::size_t line) const noexcept;
  std::size_t ContentLength(std::size_t line) const noexcept;
  std::int64_t Rows(std::size_t line) const noexcept;
  void RebuildSums();
  void Replace(std::size_t from, std::size_t to, WideView text, Message& record);
  WideText TextBetween(std::size_t from, std::size_t to) const;

  MessageResult Handle(std::uint32_t message, WParam wParam, LParam lParam, Message& record);
  MessageResult Misbehave(std::uint32_t message, WParam wParam, LParam lParam, Message& record);

  std::vector<WideText> lines_;  // each with its break; the last has none
  RunningSums lengths_;
  RunningSums rows_;
  std::int32_t wrapWidth_;
  std::size_t caret_ = 0;
  std::size_t anchor_ = 0;
  TEditPoint scroll_{0, 0};
  bool redrawOn_ = true;
  MessageResult statusReply_ = 1;

  bool recording_ = true;
  std::vector<Message> log_;
  std::size_t received_ = 0;
  std::array<std::size_t, 0x40> receivedByNumber_{};

  std::optional<std::int32_t> capacityReply_;
  bool writesNoNul_ = false;
  std::size_t misbehaveAt_ = 0;  // 0: never
  Misbehaviour misbehaviour_ = Misbehaviour::Ignore;
  MessageResult wildReply_ = -1;
};

// The message's name (HM_SET_CARET_POS), or its number in hexadecimal.
std::string MessageName(std::uint32_t message);
// One line: the name, wParam and lParam decoded, and the reply.
std::string DescribeMessage(const SimulatedEditor::Message& message);
// Printable text: UTF-8, with CR, LF, tab, backslash and quotes escaped.
std::string QuoteText(WideView text);

}  // namespace kelvorat::host

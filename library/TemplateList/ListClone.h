// TListClone: a growable array of untyped pointers whose every indexed access
// is range-checked. It never looks at what its pointers designate and never
// releases it; the client owns the items.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace kelvorat {

// The list error: one assertion failure for every violated check, whatever the
// operation and value. Its text reads "Listエラー (TemplateList\ListClone, 127 行)".
class TListError : public std::exception {
 public:
  static constexpr const char* Message = "List\xE3\x82\xA8\xE3\x83\xA9\xE3\x83\xBC";  // "Listエラー"
  static constexpr const char* File = "TemplateList\\ListClone";
  static constexpr int Line = 127;

  TListError();
  const char* what() const noexcept override { return text_.c_str(); }

 private:
  std::string text_;  // UTF-8
};

class TListClone {
 public:
  // Bounds both the count and the capacity: the largest signed 32-bit value
  // divided by 16.
  static constexpr std::int32_t MaxListSize = 134217727;

  // What Notify is told.
  static constexpr int ItemAdded = 0;
  static constexpr int ItemDeleted = 2;

  TListClone() = default;
  TListClone(const TListClone&) = delete;
  TListClone& operator=(const TListClone&) = delete;
  virtual ~TListClone();

  std::int32_t Add(void* Item);
  void Delete(std::int32_t Index);
  void* Get(std::int32_t Index) const;
  std::int32_t Count() const noexcept { return FCount; }
  std::int32_t Capacity() const noexcept { return FCapacity; }
  void SetCapacity(std::int32_t NewCapacity);
  void SetCount(std::int32_t NewCount);

  // Enlarges the capacity by a quarter above 64 slots, by 16 above 8, else by 4.
  virtual void Grow();
  // Called after a non-null item was added or deleted; does nothing here.
  virtual void Notify(void* Item, int Action);
  // Removes every item and releases the slot block.
  virtual void Clear();
  // Raises the list error.
  [[noreturn]] static void Error();

 private:
  void** FItems = nullptr;
  std::int32_t FCount = 0;
  std::int32_t FCapacity = 0;
};

}  // namespace kelvorat

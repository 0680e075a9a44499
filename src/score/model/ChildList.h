#pragma once
// The list an owner keeps of its children (parts, staves, voices, measures,
// columns, items). The owner deletes its children; each child's destructor
// takes itself out of the list, so the list never holds a freed child.
// Access by an index out of range gives nil.

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

template <class T>
class TKVChildList {
public:
  int32_t Count() const { return int32_t(FList.size()); }
  bool Empty() const { return FList.empty(); }
  T* Get(int32_t Index) const { return Index >= 0 && Index < Count() ? FList[size_t(Index)] : nullptr; }
  T* Last() const { return FList.empty() ? nullptr : FList.back(); }
  int32_t IndexOf(const T* Child) const {
    auto at = std::find(FList.begin(), FList.end(), Child);
    return at == FList.end() ? -1 : int32_t(at - FList.begin());
  }
  bool Contains(const T* Child) const { return IndexOf(Child) >= 0; }

  void Append(T* Child) { FList.push_back(Child); }
  // At Index when 0 <= Index <= Count, else at the end; returns the place.
  int32_t Insert(int32_t Index, T* Child) {
    if (Index < 0 || Index > Count()) Index = Count();
    FList.insert(FList.begin() + Index, Child);
    return Index;
  }
  // Takes every entry of Child out; removing an absent child is harmless.
  void Remove(const T* Child) { std::erase(FList, Child); }
  // Remove for children that keep their index: only those after Child move
  // (renumbering all of them made freeing a long list quadratic).
  void RemoveNumbered(const T* Child) {
    const int32_t from = Get(Child->Index()) == Child ? Child->Index() : 0;
    Remove(Child);
    for (int32_t i = from; i < Count(); ++i) FList[size_t(i)]->SetIndex(i);
  }
  void Move(int32_t From, int32_t To) {
    T* child = FList.at(size_t(From));
    FList.erase(FList.begin() + From);
    FList.insert(FList.begin() + To, child);
  }
  void Exchange(int32_t A, int32_t B) { std::swap(FList.at(size_t(A)), FList.at(size_t(B))); }
  void Clear() { FList.clear(); }

  // Deletes the children from the last to the first. A child whose
  // destructor did not take itself out is taken out here, so a child is
  // deleted once and the loop ends.
  void FreeAll() {
    while (!FList.empty()) {
      T* child = FList.back();
      delete child;
      std::erase(FList, child);
    }
  }

  const std::vector<T*>& Items() const { return FList; }
  typename std::vector<T*>::const_iterator begin() const { return FList.begin(); }
  typename std::vector<T*>::const_iterator end() const { return FList.end(); }

private:
  std::vector<T*> FList;
};

#pragma once
// Chained hash map from string to untyped pointer. The map owns its keys, never
// the data. Finds move the hit to the front of its bucket, so names looked up
// again and again are found at once.
#include "ui/core/UiString.h"

namespace SkinUI {

class CUiStringMap {
public:
    explicit CUiStringMap(int buckets = 83);
    CUiStringMap(const CUiStringMap&) = delete;
    CUiStringMap& operator=(const CUiStringMap&) = delete;
    ~CUiStringMap();

    void Resize(int buckets = 83);
    void* Find(const wchar_t* key, bool moveToFront = true) const;
    bool Insert(const wchar_t* key, void* data);
    void* Set(const wchar_t* key, void* data);
    bool Remove(const wchar_t* key);
    void RemoveAll();

    int GetSize() const { return m_count; }
    int GetBucketCount() const { return m_bucketCount; }
    // Key of the i-th item: buckets from last to first, each from head to tail.
    const wchar_t* GetAt(int index) const;
    const wchar_t* operator[](int index) const { return GetAt(index); }

    static unsigned int Hash(const wchar_t* key);

private:
    struct Item {
        CUiString key;
        void* data;
        Item* prev;
        Item* next;
    };

    Item* Lookup(const wchar_t* key, unsigned int* bucket) const;
    void FreeBuckets();

    Item** m_buckets;
    int m_bucketCount;
    int m_count;
};

} // namespace SkinUI

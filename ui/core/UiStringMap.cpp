#include "ui/core/UiStringMap.h"

#include <cstdlib>
#include <new>

namespace SkinUI {

unsigned int CUiStringMap::Hash(const wchar_t* key)
{
    unsigned int h = 0;
    if (key == nullptr) return h;
    size_t i = wcslen(key);
    while (i > 0) h = h * 33 + static_cast<unsigned short>(key[--i]);
    return h;
}

CUiStringMap::CUiStringMap(int buckets) : m_buckets(nullptr), m_bucketCount(0), m_count(0)
{
    Resize(buckets < 16 ? 16 : buckets);
}

CUiStringMap::~CUiStringMap() { FreeBuckets(); }

void CUiStringMap::FreeBuckets()
{
    if (m_buckets) {
        for (int b = m_bucketCount - 1; b >= 0; --b) {
            Item* item = m_buckets[b];
            while (item) {
                Item* next = item->next;
                delete item;
                item = next;
            }
        }
        free(m_buckets);
    }
    m_buckets = nullptr;
    m_bucketCount = 0;
    m_count = 0;
}

void CUiStringMap::Resize(int buckets)
{
    FreeBuckets();
    if (buckets <= 0) return;
    m_buckets = static_cast<Item**>(calloc(buckets, sizeof(Item*)));
    if (m_buckets) m_bucketCount = buckets;
}

void CUiStringMap::RemoveAll() { Resize(m_bucketCount); }

CUiStringMap::Item* CUiStringMap::Lookup(const wchar_t* key, unsigned int* bucket) const
{
    *bucket = Hash(key) % static_cast<unsigned int>(m_bucketCount);
    for (Item* item = m_buckets[*bucket]; item; item = item->next)
        if (item->key == key) return item;
    return nullptr;
}

void* CUiStringMap::Find(const wchar_t* key, bool moveToFront) const
{
    if (m_bucketCount == 0 || m_count == 0 || key == nullptr) return nullptr;
    unsigned int bucket;
    Item* item = Lookup(key, &bucket);
    if (item == nullptr) return nullptr;
    if (moveToFront && item->prev) {
        item->prev->next = item->next;
        if (item->next) item->next->prev = item->prev;
        item->prev = nullptr;
        item->next = m_buckets[bucket];
        m_buckets[bucket]->prev = item;
        m_buckets[bucket] = item;
    }
    return item->data;
}

bool CUiStringMap::Insert(const wchar_t* key, void* data)
{
    if (m_bucketCount == 0 || key == nullptr) return false;
    unsigned int bucket;
    if (Lookup(key, &bucket)) return false;
    Item* item = new (std::nothrow) Item{CUiString(key), data, nullptr, m_buckets[bucket]};
    if (item == nullptr) return false;
    if (item->next) item->next->prev = item;
    m_buckets[bucket] = item;
    ++m_count;
    return true;
}

void* CUiStringMap::Set(const wchar_t* key, void* data)
{
    if (m_bucketCount == 0 || key == nullptr) return nullptr;
    unsigned int bucket;
    if (Item* item = Lookup(key, &bucket)) {
        void* old = item->data;
        item->data = data;
        return old;
    }
    Insert(key, data);
    return nullptr;
}

bool CUiStringMap::Remove(const wchar_t* key)
{
    if (m_bucketCount == 0 || key == nullptr) return false;
    unsigned int bucket;
    Item* item = Lookup(key, &bucket);
    if (item == nullptr) return false;
    if (item->prev) item->prev->next = item->next;
    else m_buckets[bucket] = item->next;
    if (item->next) item->next->prev = item->prev;
    delete item;
    --m_count;
    return true;
}

const wchar_t* CUiStringMap::GetAt(int index) const
{
    if (index < 0 || index >= m_count) return nullptr;
    int position = 0;
    for (int b = m_bucketCount - 1; b >= 0; --b)
        for (Item* item = m_buckets[b]; item; item = item->next)
            if (position++ == index) return item->key.GetData();
    return nullptr;
}

} // namespace SkinUI

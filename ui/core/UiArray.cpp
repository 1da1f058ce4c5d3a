#include "ui/core/UiArray.h"

#include <cstdlib>
#include <cstring>

namespace SkinUI {

namespace {
// Capacity doubles (11 from nothing) once the raised count reaches it, so the
// block grows one element before it is full.
int NextCapacity(int capacity) { return capacity == 0 ? 11 : capacity * 2; }
}

CUiPtrArray::CUiPtrArray(int preallocate) : m_data(nullptr), m_count(0), m_capacity(0)
{
    if (preallocate > 0) {
        m_data = static_cast<void**>(malloc(preallocate * sizeof(void*)));
        if (m_data) m_capacity = preallocate;
    }
}

CUiPtrArray::CUiPtrArray(const CUiPtrArray& other) : m_data(nullptr), m_count(0), m_capacity(0)
{
    for (int i = 0; i < other.m_count; ++i) Add(other.m_data[i]);
}

CUiPtrArray& CUiPtrArray::operator=(const CUiPtrArray& other)
{
    if (this != &other) {
        Empty();
        for (int i = 0; i < other.m_count; ++i) Add(other.m_data[i]);
    }
    return *this;
}

CUiPtrArray::~CUiPtrArray() { free(m_data); }

bool CUiPtrArray::Grow()
{
    ++m_count;
    if (m_count >= m_capacity) {
        int capacity = NextCapacity(m_capacity);
        void** block = static_cast<void**>(realloc(m_data, capacity * sizeof(void*)));
        if (block == nullptr) {
            --m_count;
            return false;
        }
        m_data = block;
        m_capacity = capacity;
    }
    return true;
}

bool CUiPtrArray::Add(void* item)
{
    if (!Grow()) return false;
    m_data[m_count - 1] = item;
    return true;
}

bool CUiPtrArray::InsertAt(int index, void* item)
{
    if (index == m_count) return Add(item);
    if (index < 0 || index > m_count) return false;
    if (!Grow()) return false;
    memmove(&m_data[index + 1], &m_data[index], (m_count - index - 1) * sizeof(void*));
    m_data[index] = item;
    return true;
}

bool CUiPtrArray::SetAt(int index, void* item)
{
    if (index < 0 || index >= m_count) return false;
    m_data[index] = item;
    return true;
}

bool CUiPtrArray::Remove(int index)
{
    if (index < 0 || index >= m_count) return false;
    if (index < --m_count) memmove(&m_data[index], &m_data[index + 1], (m_count - index) * sizeof(void*));
    return true;
}

int CUiPtrArray::Find(void* item) const
{
    for (int i = 0; i < m_count; ++i)
        if (m_data[i] == item) return i;
    return -1;
}

void* CUiPtrArray::GetAt(int index) const
{
    if (index < 0 || index >= m_count) return nullptr;
    return m_data[index];
}

void CUiPtrArray::Resize(int count)
{
    Empty();
    if (count <= 0) return;
    m_data = static_cast<void**>(calloc(count, sizeof(void*)));
    if (m_data) m_count = m_capacity = count;
}

void CUiPtrArray::Empty()
{
    free(m_data);
    m_data = nullptr;
    m_count = m_capacity = 0;
}

CUiValArray::CUiValArray(int elementSize, int preallocate)
    : m_data(nullptr), m_elementSize(elementSize), m_count(0), m_capacity(0)
{
    if (preallocate > 0) {
        m_data = static_cast<unsigned char*>(malloc(preallocate * elementSize));
        if (m_data) m_capacity = preallocate;
    }
}

CUiValArray::~CUiValArray() { free(m_data); }

bool CUiValArray::Add(const void* element)
{
    ++m_count;
    if (m_count >= m_capacity) {
        int capacity = NextCapacity(m_capacity);
        unsigned char* block = static_cast<unsigned char*>(realloc(m_data, capacity * m_elementSize));
        if (block == nullptr) {
            --m_count;
            return false;
        }
        m_data = block;
        m_capacity = capacity;
    }
    memcpy(m_data + (m_count - 1) * m_elementSize, element, m_elementSize);
    return true;
}

bool CUiValArray::Remove(int index)
{
    if (index < 0 || index >= m_count) return false;
    if (index < --m_count)
        memmove(m_data + index * m_elementSize, m_data + (index + 1) * m_elementSize,
                (m_count - index) * m_elementSize);
    return true;
}

void* CUiValArray::GetAt(int index) const
{
    if (index < 0 || index >= m_count) return nullptr;
    return m_data + index * m_elementSize;
}

void CUiValArray::Empty()
{
    free(m_data);
    m_data = nullptr;
    m_count = m_capacity = 0;
}

} // namespace SkinUI

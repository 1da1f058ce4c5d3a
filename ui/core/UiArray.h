#pragma once
// Untyped growable arrays: pointer slots (the array never owns what they point
// at) and fixed-size values copied bytewise.
namespace SkinUI {

class CUiPtrArray {
public:
    explicit CUiPtrArray(int preallocate = 0);
    CUiPtrArray(const CUiPtrArray& other);
    CUiPtrArray& operator=(const CUiPtrArray& other);
    ~CUiPtrArray();

    bool Add(void* item);
    bool InsertAt(int index, void* item);
    bool SetAt(int index, void* item);
    bool Remove(int index);
    int Find(void* item) const;
    void* GetAt(int index) const;
    void* operator[](int index) const { return m_data[index]; }
    void Resize(int count);
    void Empty();

    int GetSize() const { return m_count; }
    int GetCapacity() const { return m_capacity; }
    bool IsEmpty() const { return m_count == 0; }
    void** GetData() { return m_data; }

private:
    bool Grow();

    void** m_data;
    int m_count;
    int m_capacity;
};

class CUiValArray {
public:
    explicit CUiValArray(int elementSize, int preallocate = 0);
    CUiValArray(const CUiValArray&) = delete;
    CUiValArray& operator=(const CUiValArray&) = delete;
    ~CUiValArray();

    bool Add(const void* element);
    bool Remove(int index);
    void* GetAt(int index) const;
    void* operator[](int index) const { return m_data + index * m_elementSize; }
    void Empty();

    int GetSize() const { return m_count; }
    int GetCapacity() const { return m_capacity; }
    bool IsEmpty() const { return m_count == 0; }
    void* GetData() { return m_data; }

private:
    unsigned char* m_data;
    int m_elementSize;
    int m_count;
    int m_capacity;
};

} // namespace SkinUI

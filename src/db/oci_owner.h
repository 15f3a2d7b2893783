#pragma once

#include "oci/api.h"

#include <utility>

namespace db {

// Owns one OCI handle (or, with is_descriptor, one descriptor) and frees it exactly once through the
// table it was made with: on reset() or destruction. Move-only.
class oci_owner {
public:
    oci_owner() = default;
    oci_owner(const oci::api *table, void *handle, oci::ub4 type, bool is_descriptor = false)
        : m_table(table), m_handle(handle), m_type(type), m_descriptor(is_descriptor)
    {
    }
    oci_owner(oci_owner &&other) noexcept { swap(other); }
    oci_owner &operator=(oci_owner &&other) noexcept
    {
        oci_owner(std::move(other)).swap(*this);
        return *this;
    }
    oci_owner(const oci_owner &) = delete;
    oci_owner &operator=(const oci_owner &) = delete;
    ~oci_owner() { reset(); }

    void *get() const { return m_handle; }

    // Frees the handle now (if any) and returns the free call's status, OCI_SUCCESS when empty.
    oci::sword reset() noexcept
    {
        oci::sword status = oci::OCI_SUCCESS;
        if (m_handle != nullptr && m_table != nullptr) {
            status = m_descriptor ? m_table->OCIDescriptorFree(m_handle, m_type)
                                  : m_table->OCIHandleFree(m_handle, m_type);
        }
        m_handle = nullptr;
        return status;
    }

    void swap(oci_owner &other) noexcept
    {
        std::swap(m_table, other.m_table);
        std::swap(m_handle, other.m_handle);
        std::swap(m_type, other.m_type);
        std::swap(m_descriptor, other.m_descriptor);
    }

private:
    const oci::api *m_table = nullptr;
    void *m_handle = nullptr;
    oci::ub4 m_type = 0;
    bool m_descriptor = false; // freed with OCIDescriptorFree instead of OCIHandleFree
};

} // namespace db

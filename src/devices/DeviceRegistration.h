#pragma once

#include <QtGlobal>

#include <cstddef>

class KBaseDevice;

// One line of a family's registration table: the class that serves a product id. A family lists every model
// class it can create; the device factory joins the families' tables.
struct DeviceRegistration {
    quint16 pid;
    KBaseDevice* (*create)();
};

template <typename Device>
KBaseDevice* constructDevice()
{
    return new Device();
}

// A family's table, as the factory reads it.
struct DeviceFamily {
    const DeviceRegistration* begin;
    const DeviceRegistration* end;
};

template <std::size_t N>
constexpr DeviceFamily deviceFamily(const DeviceRegistration (&table)[N])
{
    return {table, table + N};
}

#pragma once

#include <cstdint>

// A register entry's vehicle, by the numbers the suite stores in "CarType" and tag files carry
// in their third field. A record read from the store keeps the number it had, so a value may
// hold a number other than these two; it counts as a car wherever it is shown or written out.
enum class VehicleType : std::int32_t { Car = 1, Motorcycle = 2 };

constexpr bool IsMotorcycle(VehicleType type) {
    return type == VehicleType::Motorcycle;
}

// Car or Motorcycle: how any stored number is shown and written out.
constexpr VehicleType ShownVehicle(VehicleType type) {
    return IsMotorcycle(type) ? VehicleType::Motorcycle : VehicleType::Car;
}

// The stored number, as the store and the list's item data hold it.
constexpr std::int32_t VehicleNumber(VehicleType type) {
    return static_cast<std::int32_t>(type);
}
constexpr VehicleType VehicleOfNumber(std::int64_t number) {
    return static_cast<VehicleType>(static_cast<std::int32_t>(number));
}

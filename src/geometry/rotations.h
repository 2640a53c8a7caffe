// The one rotation of the program (about X, then Y, then Z, with row vectors as Direct3D's
// helper library builds them), angle conversions between the degrees people see and the
// radians the model holds, points between a joint's frame and the model's frame, and image
// positions on a sphere.
#pragma once

#include <string_view>

#include "hod/model.h"

namespace gantry {

// Pi and 2 pi as single-precision constants, as the angle conversions use them.
inline constexpr float kPiSingle = 3.1415927f;
inline constexpr float kTwoPiSingle = 6.2831855f;

Vector3 RotateVector(const Vector3& v, const Vector3& angles);
// d / 180 * pi, brought into 0..2pi.
double DegreesToRadians(double degrees);
// r / pi * 180, brought into 0..360.
double RadiansToDegrees(double radians);

// p, given in the frame of the named joint, in the model's frame; and back.
Vector3 JointToWorld(const JointListRecord& joints, Vector3 p, std::string_view joint);
Vector3 WorldToJoint(const JointListRecord& joints, Vector3 p, std::string_view joint);

// Column c, row r of a w x h image as a point on the sphere of the given radius, minus centre.
Vector3 SpherePoint(double c, double r, double w, double h, double radius, const Vector3& centre);

}  // namespace gantry

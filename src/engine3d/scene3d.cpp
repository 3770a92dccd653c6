#include "engine3d/scene3d.h"

#include <cmath>

#include "data/data.h"
#include "engine3d/transform.h"
#include "precalcs/tables.h"
#include "render3d/render.h"
#include "script/script.h"

namespace {
// The scenes' angle r = t / 180 / pi; a factor of r applies to t first: 0.5 r is Angle(0.5 t).
double Angle(double scaled_t) {
    return scaled_t / 180.0 / kPi;
}

float F(double v) {
    return static_cast<float>(v);
}

void Draw(Object3d* obj, int32_t mode, int32_t shade_a, int32_t shade_b, uint16_t* buffer, int32_t shift,
          const uint16_t* t1, const uint16_t* t2, const uint16_t* t3, int32_t line_size) {
    RenderMode = mode;
    Render(obj, shade_a, shade_b, buffer, shift, t1, t2, t3, line_size);
}

void BallGrid(double t, uint16_t* buffer) {
    Object3d* o = &object[0];
    o->ax = F(Angle(0.5 * t));
    o->ay = F(Angle(0.25 * t));
    o->az = F(Angle(t));
    double px = -320.0;
    if (t > 11592) px = std::fmin(0.0, (t - 11592) / 12.0 - 320.0);
    if (t > 23552) px = (t - 23552) * 0.125;
    o->px = F(px);
    Calc3d(o);
    Draw(o, 0, 0, 0, buffer, 0, nullptr, nullptr, nullptr, 16);
}

void Teapot(double t, int32_t scene, uint16_t* buffer) {
    Object3d* o = &object[2];
    if (scene == 1) {
        o->ax = 0.0f;
        o->ay = F(Angle(t));
        o->az = F(Angle(0.5 * t));
        Calc3d(o);
        Draw(o, 2, 0, 0, buffer, 0, nullptr, nullptr, nullptr, 8);
    } else {
        o->ax = F(Angle(t));
        o->ay = F(Angle(t / 3.0));
        o->az = F(Angle(0.5 * t));
        Calc3d(o);
        Draw(o, 4, 1, 0, buffer, 0, nullptr, nullptr, nullptr, 16);
    }
}

// The face: wireframe built line by line, flat polygons filling in, the Gouraud sweep, and
// the polygons vanishing from the end of the list.
void Face(int32_t it, uint16_t* buffer) {
    const double t = it;
    Object3d* o = &object[1];
    o->py = 12.0f;
    o->pz = 128.0f;
    o->ax = F(0.5 * std::sin(t / 768.0));
    o->ay = F(std::sin(t / 512.0) + 1.820758465);
    o->az = F(0.5 * std::sin(t / 1024.0) + 1.570758465);
    Calc3d(o);
    o->nlns = it > 10751 ? objnlns : TruncToInt32((t - 6656) / 4096.0 * objnlns);
    o->npls = (it <= 13184 || it > 21375) ? objnpls : TruncToInt32((t - 13184) / 8192.0 * objnpls);
    if (it <= 21376) Draw(o, 2, 0, 0, buffer, 0, nullptr, nullptr, nullptr, 16);
    if (it >= 13184 && it <= 26423) Draw(o, 4, 3, 0, buffer, 0, nullptr, nullptr, nullptr, 16);
    if (it >= 26424 && it <= 34615) {
        RenderSpecial(o, 3, 0, F(1.0 - (t - 26424) / 8192.0), buffer);
    } else if (it >= 34616 && it <= 35638) {
        RenderSpecial(o, 3, 0, 0.0f, buffer);
    }
    if (it >= 45880 && o->npls != 0) {
        const int32_t n = TruncToInt32((1.0 - (t - 45879) / 2048.0) * objnpls);
        o->npls = n < 0 ? 0 : n;
    }
    if (it >= 35639 && o->npls != 0) Draw(o, 8, 0, 0, buffer, 0, nullptr, nullptr, nullptr, 16);
}

void Cube(double t, uint16_t* buffer) {
    Object3d* o = &object[4];
    o->ax = F(Angle(0.25 * t));
    o->ay = F(Angle(0.5 * t));
    o->az = F(Angle(t / 3.0));
    if (t > 10240) o->px = F((t - 10240) / 6.0);
    Calc3d(o);
    Draw(o, 128, 0, 0, buffer, 0, nullptr, nullptr, nullptr, 16);
}

void EmptySlot(double t, uint16_t* buffer) {
    Object3d* o = &object[5];
    o->ax = 3.1415169f;
    o->ay = F(Angle(0.5 * t));
    Calc3d(o);
    Draw(o, 288, 0, 0, buffer, 2, env1, nullptr, nullptr, 16);
}

void WaterSphere(double t, uint16_t* buffer) {
    Object3d* o = &object[16];
    o->ax = F(Angle(t));
    o->ay = F(Angle(0.5 * t));
    if (t <= 6143) {
        o->px = F(t / 6144.0 * 760.0 - 760.0);
        o->py = 0.0f;
        o->pz = 768.0f;
    } else if (t <= 8191) {
        o->pz = F(768.0 - (t - 6144) / 2048.0 * 384.0);
    } else {
        const double q = (8192 - t) * 0.25;
        o->py = F(24.0 * std::sin(q / 128.0));
        o->px = F(64.0 * std::sin(q / 144.0));
        o->pz = F(96.0 * std::sin(q / 192.0) + 384.0);
    }
    Calc3d(o);
    Draw(o, 64, 3, 1, buffer, 0, nullptr, nullptr, nullptr, 16);
}

void EnvSphere(double t, uint16_t* buffer) {
    if (t >= 16384) return;
    Object3d* o = &object[20];
    o->ax = F(Angle(t));
    o->ay = F(Angle(0.5 * t));
    const double q = 0.25 * t;
    o->py = F(24.0 * std::sin(q / 128.0));
    o->px = F(64.0 * std::sin(q / 144.0));
    const float b = F(96.0 * std::sin(q / 192.0) + 384.0);
    o->pz = t <= 8192 ? b : F(b + (t - 8192) / ((16448 - t) / 64.0));
    Calc3d(o);
    Draw(o, 32, 3, 1, buffer, 2, env1, nullptr, nullptr, 16);
}

void Cylinder(int32_t it, uint16_t* buffer) {
    const double t = it;
    Object3d* o = &object[24];
    if (it <= 2047) {
        o->ax = -1.5707585f;
        o->az = F(2.0 * (t / 2047.0) * kPi);
        o->pz = F(2047.0 - t / 1.1);
    } else if (it <= 12287) {
        o->ax = -1.5707585f;
        o->az = F(2.0 * (t / 2047.0) * kPi);
    } else if (it <= 14335) {
        o->ax = F((t - 12288) / 2048.0 * kPi * 0.5 - 1.570758465);
    } else if (it <= 16383) {
        o->ay = F((14336 - t) / 1360.0);
    } else if (it <= 24575) {
        const double q = 16384 - t;
        o->ax = F(std::sin(2.0 * kPi * q / 4096.0));
        o->ay = F(std::sin(2.0 * kPi * q / 2048.0) - 1.5058823529411764);
    } else if (it <= 40447) {
        o->ax = F((t - 24576) / 512.0);
        o->pz = F((t - 24576) / 2.5 + 186.09090909090924);
    } else {
        signal3d = 1;
    }
    Calc3d(o);
    Draw(o, 16, 0, 0, buffer, 1, vornelo, vornelo_bottom, vornelo_top, 16);
}
} // namespace

void RunScene3d(uint16_t* buffer, int32_t scene) {
    const int32_t t = prticks;
    switch (scene) {
    case 0:
        BallGrid(t, buffer);
        break;
    case 1:
    case 2:
        Teapot(t, scene, buffer);
        break;
    case 3:
        Face(t, buffer);
        break;
    case 4:
        Cube(t, buffer);
        break;
    case 6:
        EmptySlot(t, buffer);
        break;
    case 16:
        WaterSphere(t, buffer);
        break;
    case 20:
        EnvSphere(t, buffer);
        break;
    case 24:
        Cylinder(t, buffer);
        break;
    default:
        break; // every other scene number does nothing
    }
}

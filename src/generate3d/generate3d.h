// The 3D object table, its records, the shared work arrays and the object builders.
//
// Model coordinates are int32 model units; camera space (fpts) is model units x 256.
// Normals have length 256; rotated into camera space, about 65536.
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstdlib>

struct Point3d {
    int32_t x, y, z;
    uint16_t colour; // colour or intensity for the point styles
};

struct Polygon3d {
    int32_t p0, u0, v0;
    int32_t p1, u1, v1;
    int32_t p2, u2, v2;
    int32_t colour; // shade slot filled by the renderer
};

struct Line3d {
    int32_t p0, p1;
    int32_t colour;
};

struct Vector3d {
    int32_t x, y, z;
};

struct Object3d {
    int32_t npts;
    int32_t npls;
    int32_t nlns;
    Point3d* pts;
    Polygon3d* pls;
    Line3d* lns;
    Vector3d* pl_normals;
    Vector3d* pt_normals;
    float ax, ay, az; // radians, applied x, then y, then z
    float px, py, pz; // position after rotation; pz is the distance in front
};

struct ScreenPoint {
    int32_t x;       // column
    int32_t y;       // element within the column
    uint32_t colour; // colour or shade, upper 16 bits zero
};

struct TexCoord {
    int32_t u, v;
};

constexpr int kMaxWork = 8192;

extern Object3d object[32];
extern Vector3d fpts[kMaxWork];     // camera space, x 256
extern ScreenPoint spts[kMaxWork];  // projected points
extern Vector3d norms[kMaxWork];    // polygon normals in camera space
extern Vector3d pt_norms[kMaxWork]; // point normals in camera space
extern uint16_t spls[kMaxWork];     // polygon shades 0..255
extern uint16_t swp[kMaxWork];      // drawing order
extern int32_t zdata[kMaxWork];     // depth sort keys
extern TexCoord point_tc[kMaxWork]; // environment-map coordinates per point
extern uint8_t addtimes[kMaxWork];  // polygons using each point (while averaging normals)
extern int32_t objnpls;             // slot 1's polygon count as built
extern int32_t objnlns;             // slot 1's line count as built

void Init3d();
void InitTestObject(Object3d* obj, int32_t type);
void GenerateCylinder(Object3d* obj);
void GenerateSpherical(Object3d* obj, int32_t ignored, float rphi, float rtheta, float aphi, float atheta,
                       float base);
void CalcNorms(Object3d* obj, int32_t negate);
void CalcPtNorms(Object3d* obj);
void ReversePolygonOrder(Object3d* obj);
void Load16bit3do(Object3d* obj, const uint8_t* bytes, int32_t negate);
// The loader for data of known name and size: a model that does not fit the work arrays,
// indexes a missing point or is shorter than its header says stops the program.
void Load16bit3do(Object3d* obj, const uint8_t* bytes, uint32_t size, int32_t negate, const char* name);
// What is wrong with a packed model (size: bytes available), or nullptr when it loads.
const char* Packed3doFault(const uint8_t* bytes, uint32_t size);

// The grid of 64 points (type 0) and the cube (type 1).
void GenerateGrid(Object3d* obj);
void GenerateCube(Object3d* obj);
// Sets the counts and allocates zeroed point and polygon arrays, or the line array.
void AllocateObject3d(Object3d* obj, int32_t npts, int32_t npls);
void AllocateLines3d(Object3d* obj, int32_t nlns);
// Frees an object's arrays and clears the record.
void ReleaseObject3d(Object3d* obj);

// Start-up allocation of count zeroed records; running out of memory ends the program.
template <class T> T* NewArray3d(int32_t count) {
    void* p = std::calloc(count > 0 ? static_cast<size_t>(count) : 1, sizeof(T));
    if (p == nullptr) {
        std::fprintf(stderr, "Out of memory building the 3D objects\n");
        std::exit(1);
    }
    return static_cast<T*>(p);
}

Vector3d CrossProduct(int32_t ax, int32_t ay, int32_t az, int32_t bx, int32_t by, int32_t bz);
Vector3d Normalize(int32_t x, int32_t y, int32_t z);
Vector3d NegVec(int32_t x, int32_t y, int32_t z);
int32_t DotProduct(int32_t ax, int32_t ay, int32_t az, int32_t bx, int32_t by, int32_t bz);
void PrintVector(int32_t x, int32_t y, int32_t z);

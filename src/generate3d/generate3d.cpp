#include "generate3d/generate3d.h"

#include "data/data.h"

Object3d object[32];
Vector3d fpts[kMaxWork];
ScreenPoint spts[kMaxWork];
Vector3d norms[kMaxWork];
Vector3d pt_norms[kMaxWork];
uint16_t spls[kMaxWork];
uint16_t swp[kMaxWork];
int32_t zdata[kMaxWork];
TexCoord point_tc[kMaxWork];
uint8_t addtimes[kMaxWork];
int32_t objnpls = 0;
int32_t objnlns = 0;

void AllocateObject3d(Object3d* obj, int32_t npts, int32_t npls) {
    obj->npts = npts;
    obj->npls = npls;
    obj->pts = NewArray3d<Point3d>(npts);
    obj->pls = NewArray3d<Polygon3d>(npls);
}

void AllocateLines3d(Object3d* obj, int32_t nlns) {
    obj->nlns = nlns;
    obj->lns = NewArray3d<Line3d>(nlns);
}

void ReleaseObject3d(Object3d* obj) {
    std::free(obj->pts);
    std::free(obj->pls);
    std::free(obj->lns);
    std::free(obj->pl_normals);
    std::free(obj->pt_normals);
    *obj = Object3d{};
}

void InitTestObject(Object3d* obj, int32_t type) {
    switch (type) {
    case 0:
        GenerateGrid(obj);
        break;
    case 1:
        GenerateCube(obj);
        break;
    case 2:
        // Normals come from the loader's corner order, before the exchange.
        Load16bit3do(obj, face3do, face3do_size, 0, "face3do");
        ReversePolygonOrder(obj);
        obj->px = 0;
        obj->py = 14;
        obj->pz = 128;
        obj->ax = 0;
        obj->ay = -1.5707585f;
        obj->az = 1.5707585f;
        break;
    case 3:
        Load16bit3do(obj, teapot, teapot_size, 1, "teapot");
        obj->px = 0;
        obj->py = 0;
        obj->pz = 160;
        obj->ax = 0;
        obj->ay = 0;
        obj->az = 3.1415169f;
        break;
    case 16:
        GenerateSpherical(obj, 24, 1.5f, 2.0f, 24.0f, 24.0f, 48.0f);
        ReversePolygonOrder(obj);
        break;
    case 20:
        GenerateSpherical(obj, 24, 1.5f, 2.0f, 16.0f, 16.0f, 64.0f);
        ReversePolygonOrder(obj);
        break;
    case 24:
        GenerateCylinder(obj);
        break;
    default:
        break;
    }
}

void Init3d() {
    // Built once per run; a repeated call rebuilds from empty slots instead of leaking.
    for (Object3d& o : object)
        ReleaseObject3d(&o);
    InitTestObject(&object[0], 0);
    InitTestObject(&object[1], 2);
    InitTestObject(&object[2], 3);
    InitTestObject(&object[4], 1);
    InitTestObject(&object[16], 16);
    InitTestObject(&object[20], 20);
    InitTestObject(&object[24], 24);
    objnpls = object[1].npls;
    objnlns = object[1].nlns;
}

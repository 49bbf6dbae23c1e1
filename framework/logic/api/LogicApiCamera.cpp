#include "framework/logic/api/LogicApiTables.h"

#include "framework/logic/api/LogicApiClearColor.h"
#include "framework/logic/api/LogicApiTable.h"

GXColor sFloatClearColor = { 0, 0, 0, 0 };

namespace {

bool bDone = false;

}

void ApiCameraNotInit() {
	bDone = true;
}

bool ApiCameraNotInitDone() {
	return bDone;
}

constexpr _api_camera APIcameraStubs = MakeLogicApiStubs<_api_camera, ApiCameraNotInit>();
constinit _api_camera APIcamera = MakeLogicApiStubs<_api_camera, ApiCameraNotInit>();

void Init_camera() {
	InitAPI( &APIcamera, LOGIC_API_CAMERA_SLOTS, &APIcameraStubs );
}

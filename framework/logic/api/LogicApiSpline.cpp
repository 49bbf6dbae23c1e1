#include "framework/logic/api/LogicApiTables.h"

#include "framework/logic/api/LogicApiTable.h"

namespace {

bool bDone = false;

}

void ApiSplineLibNotInit() {
	bDone = true;
}

bool ApiSplineLibNotInitDone() {
	return bDone;
}

constexpr _api_spline APIsplineStubs = MakeLogicApiStubs<_api_spline, ApiSplineLibNotInit>();
constinit _api_spline APIspline = MakeLogicApiStubs<_api_spline, ApiSplineLibNotInit>();

_api_spline * InitSplineAPI() {
	InitAPI( &APIspline, LOGIC_API_SPLINE_SLOTS, &APIsplineStubs );
	return &APIspline;
}

#include "framework/logic/api/LogicApiTables.h"

#include "framework/logic/api/LogicApiTable.h"
#include "framework/logic/EFGBALinkMgr.h"
#include "framework/logic/api/EFApiTrace.h"

LogicGBALinkConnectionFn gpfCBConnectfunc = nullptr;
LogicGBALinkCompleteFn gpfCBCompletefunc = nullptr;

namespace {

bool bDone = false;

void GBALinkSetConnectionCallBack( const LogicGBALinkConnectionFn function ) {
	EFApiTrace::mFuncName = "SetConnectionCallBack";
	gpfCBConnectfunc = function;
	EFApiTrace::mFuncName = nullptr;
}

void GBALinkSetCompleteCallBack( const LogicGBALinkCompleteFn function ) {
	EFApiTrace::mFuncName = "SetCompleteCallBack";
	gpfCBCompletefunc = function;
	EFApiTrace::mFuncName = nullptr;
}

u32 GBALinkSendData( const u32 data, u8 ) {
	EFApiTrace::mFuncName = "SendData";
	const u32 sent = goGBALinkMgr.AddQuickDataToSend( data ) != 0 ? 1 : 0;
	EFApiTrace::mFuncName = nullptr;
	return sent;
}

u32 GBALinkGetData( u32 * data, const u8 slot ) {
	EFApiTrace::mFuncName = "GetData";
	u32 word = 0;
	u32 received = 0;
	if ( goGBALinkMgr.GetData( &word, slot ) != 0 ) {
		if ( data != nullptr ) {
			*data = word;
		}
		received = 1;
	}
	EFApiTrace::mFuncName = nullptr;
	return received;
}

}

void ApiGBALinkNotInit() {
	bDone = true;
}

bool ApiGBALinkNotInitDone() {
	return bDone;
}

constexpr _api_gbalink APIgbalinkStubs = MakeLogicApiStubs<_api_gbalink, ApiGBALinkNotInit>();
constinit _api_gbalink APIgbalink = MakeLogicApiStubs<_api_gbalink, ApiGBALinkNotInit>();

void Init_GBALink() {
	InitAPI( &APIgbalink, LOGIC_API_GBALINK_SLOTS, &APIgbalinkStubs );
	APIgbalink.SetConnectionCallBack = GBALinkSetConnectionCallBack;
	APIgbalink.SetCompleteCallBack = GBALinkSetCompleteCallBack;
	APIgbalink.SendData = GBALinkSendData;
	APIgbalink.GetData = GBALinkGetData;
}

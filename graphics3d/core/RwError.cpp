#include "graphics3d/core/RwError.h"

#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwPlugin.h"

RwModuleInfo errorModule;

// Holds errors while no open instance carries the error module's space.
static RwError staticError = { 0, RWERR_NONE };

static RwError* ErrorRecordInUse() {
	RwGlobals* const instance = RwEngineInstance;
	if ( errorModule.numInstances <= 0 || instance == nullptr || instance == &staticGlobals ) {
		return &staticError;
	}
	return &RwPluginData<RwErrorGlobals>( instance, errorModule.globalsOffset )->errorCode;
}

u32 _rwerror( const u32 code, ... ) {
	return code;
}

RwError* RwErrorSet( RwError* code ) {
	if ( code == nullptr ) {
		return nullptr;
	}
	RwError* const record = ErrorRecordInUse();
	if ( record->pluginID != 0 || record->errorCode != RWERR_NONE ) {
		return code;
	}
	record->pluginID = ( code->errorCode & RWERR_COMMON_BIT ) ? 0 : code->pluginID;
	record->errorCode = code->errorCode;
	return code;
}

void _rwErrorSetCore( const u32 code ) {
	RwError error = { RWPLUGIN_CORE, code };
	RwErrorSet( &error );
}

RwError* RwErrorGet( RwError* out ) {
	RwError* const record = ErrorRecordInUse();
	if ( out != nullptr ) {
		*out = *record;
	}
	record->pluginID = 0;
	record->errorCode = RWERR_NONE;
	return out;
}

// The instance's record takes over an error that is still unread in the
// static record, and hands its own back at close, so that an error raised
// around start or stop (a module failing to open, say) is not lost.
void* _rwErrorOpen( void* instance, const s32 offset, s32 ) {
	errorModule.globalsOffset = offset;
	RwErrorGlobals* const globals = RwPluginData<RwErrorGlobals>( instance, offset );
	globals->errorCode = staticError;
	staticError.pluginID = 0;
	staticError.errorCode = RWERR_NONE;
	errorModule.numInstances++;
	return instance;
}

void* _rwErrorClose( void* instance, const s32 offset, s32 ) {
	if ( errorModule.numInstances <= 0 ) {
		return instance;
	}
	const RwErrorGlobals* const globals = RwPluginData<RwErrorGlobals>( instance, offset );
	if ( staticError.pluginID == 0 && staticError.errorCode == RWERR_NONE ) {
		staticError = globals->errorCode;
	}
	errorModule.numInstances--;
	return instance;
}

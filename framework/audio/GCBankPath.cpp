#include "framework/audio/GCBankPath.h"

#include "framework/audio/EFNewAudioMgr.h"
#include "framework/core/engine/EFEngineController.h"

#include <cstdio>

namespace {

const char * Text( const char * text ) {
	return text != nullptr ? text : "";
}

}

bool GCBankPath( char * out, const GCBankFolder folder, const char * name, const char * extension, const char separator ) {
	const char * const prefix = gpoEngineController != nullptr ? gpoEngineController->GetPathPrefix() : "";
	const char * const level = gpoEngineController != nullptr ? gpoEngineController->GetLevelPath() : "";
	const char * const language = gpoEngineController != nullptr ? gpoEngineController->GetLanguage() : "";
	const char * const global = gpoNewAudioMgr != nullptr ? gpoNewAudioMgr->GetEnvironmentName() : "";
	int written = -1;
	switch ( folder ) {
		case GC_BANK_LEVEL:
			written = std::snprintf( out, GC_BANK_PATH_SIZE, "%sLEVEL\\%s\\%s\\AUDIO\\%s.%s", Text( prefix ), Text( level ),
									 Text( language ), Text( name ), extension );
			break;
		case GC_BANK_GLOBAL:
			written = std::snprintf( out, GC_BANK_PATH_SIZE, "%sGLOBAL\\%s%s\\AUDIO\\%s.%s", Text( prefix ), Text( global ),
									 Text( language ), Text( name ), extension );
			break;
		case GC_BANK_GLOBAL_GEN:
			written = std::snprintf( out, GC_BANK_PATH_SIZE, "%sGLOBAL\\%sGEN\\AUDIO\\%s.%s", Text( prefix ), Text( global ),
									 Text( name ), extension );
			break;
		case GC_BANK_LEVEL_GEN:
			written = std::snprintf( out, GC_BANK_PATH_SIZE, "%sLEVEL\\%s\\GEN\\AUDIO\\%s.%s", Text( prefix ), Text( level ),
									 Text( name ), extension );
			break;
	}
	if ( written < 0 || static_cast<u32>( written ) >= GC_BANK_PATH_SIZE ) {
		return false;
	}
	for ( char * c = out; *c != '\0'; c++ ) {
		if ( *c == '\\' ) {
			*c = separator;
		}
	}
	return true;
}

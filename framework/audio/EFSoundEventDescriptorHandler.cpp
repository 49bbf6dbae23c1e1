#include "framework/audio/EFSoundEventDescriptorHandler.h"

#include "datatypes/registry/DTDynamicInstanciator.h"
#include "framework/core/engine/EFCallTrace.h"

#include <new>

DT_IMPLEMENT_DYNAMIC_CLASS( EFSoundEventDescriptorHandler, "SOUND_INST", 23, IT_OBJECT );

EFSoundEventDescriptorHandler::EFSoundEventDescriptorHandler() {
}

EFSoundEventDescriptorHandler::~EFSoundEventDescriptorHandler() {
}

s32 EFSoundEventDescriptorHandler::GetClassID() const {
	return 23;
}

const char * EFSoundEventDescriptorHandler::GetClassName() const {
	return "SOUND_INST";
}

bool EFSoundEventDescriptorHandler::Initialize( const DTCreationParameters & ) {
	EFCallTraceAdd( "EFSoundEventDescriptorHandler::Initialize" );
	return true;
}

EFInstance * EFSoundEventDescriptorHandler::ShallowCopy() {
	EFSoundEventDescriptorHandler * const copy = new ( std::nothrow ) EFSoundEventDescriptorHandler;
	if ( copy != nullptr ) {
		copy->muiUID = muiUID;
	}
	return copy;
}

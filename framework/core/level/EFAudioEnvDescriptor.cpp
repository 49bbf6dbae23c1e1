#include "framework/core/level/EFAudioEnvDescriptor.h"

#include "datatypes/persist/DTBasePersistStream.h"
#include "datatypes/persist/DTTextPersistStream.h"
#include "framework/audio/EFNewAudioMgr.h"

// Registered with the instance descriptors in
// EFIDescriptorRegistration.cpp.

namespace {

constexpr u32 UNUSED_VALUES	= 3;
constexpr u32 NAMES			= 4;
constexpr s32 NAME_BUFFER	= static_cast<s32>( EF_AUDIO_NAME_MAX + 1 );

}

EFAudioEnvDescriptor::EFAudioEnvDescriptor() {
}

EFAudioEnvDescriptor::~EFAudioEnvDescriptor() {
}

s32 EFAudioEnvDescriptor::GetClassID() const {
	return EF_AUDIO_ENV_CLASS_ID;
}

const char * EFAudioEnvDescriptor::GetClassName() const {
	return "EF_AUDIOENV_DESC";
}

bool EFAudioEnvDescriptor::IsLoader() {
	return true;
}

s32 EFAudioEnvDescriptor::PostPersistStream( DTBasePersistStream &, const bool ) {
	return true;
}

s32 EFAudioEnvDescriptor::LoadPropertiesBinary( DTBasePersistStream & stream ) {
	u32 unused = 0;
	for ( u32 i = 0; i < UNUSED_VALUES; i++ ) {
		stream.LoadData( unused );
	}
	char names[NAMES][NAME_BUFFER] = {};
	for ( u32 i = 0; i < NAMES; i++ ) {
		stream.LoadTextData( names[i], NAME_BUFFER );
	}
	Apply( names[0], names[1], names[2], names[3] );
	return 0;
}

s32 EFAudioEnvDescriptor::LoadPropertiesText( char * word, DTBasePersistStream & stream ) {
	if ( !stream.IsText() ) {
		return 0;
	}
	DTTextPersistStream & text = static_cast<DTTextPersistStream &>( stream );
	u32 unused = 0;
	for ( u32 i = 0; i < UNUSED_VALUES; i++ ) {
		text.LoadString( word, DT_STREAMABLE_WORD_MAX );
		text.LoadData( unused );
	}
	char names[NAMES][NAME_BUFFER] = {};
	for ( u32 i = 0; i < NAMES; i++ ) {
		text.LoadString( word, DT_STREAMABLE_WORD_MAX );
		text.LoadTextData( names[i], NAME_BUFFER );
	}
	// The word that closes the record, which the caller expects consumed.
	text.LoadString( word, DT_STREAMABLE_WORD_MAX );
	Apply( names[0], names[1], names[2], names[3] );
	return 0;
}

void EFAudioEnvDescriptor::Apply( char * a, char * b, char * c, char * d ) {
	if ( gpoNewAudioMgr == nullptr ) {
		return;
	}
	gpoNewAudioMgr->SetEnvironmentName( a );
	gpoNewAudioMgr->SendSpecificData( b, d, c );
}

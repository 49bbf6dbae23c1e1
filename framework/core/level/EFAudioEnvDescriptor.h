/*
===============================================================================

	A level's audio-environment record: read once while the level loads,
	it names the audio environment and the level's sound banks to the
	audio manager, and is never kept (it is a loader).

	Binary form: three u32 values the engine does not use, then four
	strings of at most EF_AUDIO_NAME_MAX characters: A the environment
	name, then B, C and D, handed to the audio manager's SendSpecificData
	in the order B, D, C. The text form has the same seven values, each
	after a property name that is not checked. Loading always succeeds.

===============================================================================
*/
#ifndef EF_AUDIO_ENV_DESCRIPTOR_H
#define EF_AUDIO_ENV_DESCRIPTOR_H

#include "datatypes/streamable/DTStreamable.h"

constexpr s32 EF_AUDIO_ENV_CLASS_ID = 60;

class EFAudioEnvDescriptor : public DTStreamable {
public:
							EFAudioEnvDescriptor();
	virtual					~EFAudioEnvDescriptor();

	static void *			Instanciate();

	s32						GetClassID() const override;
	const char *			GetClassName() const override;
	// True: the record is dropped after its load.
	bool					IsLoader() override;
	// True; nothing else.
	s32						PostPersistStream( DTBasePersistStream & stream, const bool loading ) override;
	s32						LoadPropertiesText( char * word, DTBasePersistStream & stream ) override;
	s32						LoadPropertiesBinary( DTBasePersistStream & stream ) override;

private:
	// Hands the four names to the audio manager.
	static void				Apply( char * a, char * b, char * c, char * d );
};

#endif

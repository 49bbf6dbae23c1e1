/*
===============================================================================

	The sound-event table of one bank (a .TSE file): its records decoded
	into native EFSoundEventData. A table that failed to load is empty and
	answers every lookup with null after a warning, as does an index past
	its count.

===============================================================================
*/
#ifndef EF_SET_TABLE_H
#define EF_SET_TABLE_H

#include "framework/audio/EFSoundEventData.h"
#include "framework/audio/EFSoundTableFile.h"

class EFSETTable {
public:
	// Empty; bank 0 is the global bank.
	explicit				EFSETTable( u32 bank );
	// Frees every name, element list and the records.
							~EFSETTable();

							EFSETTable( const EFSETTable & ) = delete;
	EFSETTable &			operator=( const EFSETTable & ) = delete;

	// Finds, checks and reads name.TSE; the table stays empty on any
	// failure. Returns whether records were read.
	bool					Initialize( char * name );
	EFSoundEventData *		GetSoundEventData( u32 index );
	// Writes effect into every record whose group mask shares a bit with
	// groupMask.
	void					SetDSPEffectForGroup( u32 groupMask, u32 effect );

	u32						GetCount() const { return mui32Count; }
	const char *			GetName() const { return mszName; }
	bool					IsGlobal() const { return mbGlobal; }

private:
	EFSoundEventData *		mpoRecords;
	u32						mui32Count;
	char					mszName[EF_SOUND_TABLE_NAME_SIZE];
	bool					mbGlobal;
};

#endif

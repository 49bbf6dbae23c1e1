/*
===============================================================================

	The sound-container table of one bank (a .TSC file): its records
	decoded into native EFSoundContainerData. A table that failed to load
	is empty and answers every lookup with null after a warning, as does
	an index past its count.

===============================================================================
*/
#ifndef EF_TSC_TABLE_H
#define EF_TSC_TABLE_H

#include "framework/audio/EFSoundContainerData.h"
#include "framework/audio/EFSoundTableFile.h"

class EFTSCTable {
public:
	// Empty; bank 0 is the global bank.
	explicit				EFTSCTable( u32 bank );
	// Frees every name, element list and the records.
							~EFTSCTable();

							EFTSCTable( const EFTSCTable & ) = delete;
	EFTSCTable &			operator=( const EFTSCTable & ) = delete;

	// Finds, checks and reads name.TSC; the table stays empty on any
	// failure. Returns whether records were read.
	bool					Initialize( char * name );
	EFSoundContainerData *	GetSoundContainerData( u32 index );

	u32						GetCount() const { return mui32Count; }
	const char *			GetName() const { return mszName; }
	bool					IsGlobal() const { return mbGlobal; }

private:
	EFSoundContainerData *	mpoRecords;
	u32						mui32Count;
	char					mszName[EF_SOUND_TABLE_NAME_SIZE];
	bool					mbGlobal;
};

#endif

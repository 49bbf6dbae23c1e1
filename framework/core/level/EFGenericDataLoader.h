/*
===============================================================================

	Generic data record of a level file ("EF_GENERIC_FILE", class 72): it
	hands its data to the generic-data manager it names and keeps nothing,
	so the level loader destroys it right after loading.

	Binary form: u32, u32 (not used), u32 manager id, u32 data id, then the
	manager's own data, which its LoadData reads from the same stream.
	Text form: the same two u32, then the name of a binary file (at most
	2048 characters) that holds the manager id, the data id and the data.

	A manager id outside the table or of an empty slot, ids that cannot be
	read, or a file that cannot be opened are reported with a debug print
	and nothing more is read. Both loaders return 0 whatever happened, so
	the level loader goes on with the next record.

===============================================================================
*/
#ifndef EF_GENERIC_DATA_LOADER_H
#define EF_GENERIC_DATA_LOADER_H

#include "datatypes/streamable/DTStreamable.h"

constexpr s32 EF_GENERIC_DATA_LOADER_CLASS_ID	= 72;
// Characters of the text form's file name.
constexpr s32 EF_GENERIC_DATA_NAME_MAX			= 2048;

class EFGenericDataLoader : public DTStreamable {
public:
	static void *			Instanciate();

	s32						GetClassID() const override;
	const char *			GetClassName() const override;

	// True: the object has done its work once loaded.
	bool					IsLoader() override;
	s32						LoadPropertiesText( char * word, DTBasePersistStream & stream ) override;
	s32						LoadPropertiesBinary( DTBasePersistStream & stream ) override;

private:
	// Reads the manager id and data id, then hands the stream to that
	// manager.
	static void				LoadRecord( DTBasePersistStream & stream );
};

#endif

/*
===============================================================================

	Base of every loadable class.

	A class describes its stored state once, by registering its fields in
	its constructor as named properties; the base then loads them from a
	persist stream. The binary form is the raw field values in registration
	order with nothing between them: the u32 "UID" first (registered here),
	then each class's members from the root of the hierarchy down. The text
	form is name and value pairs between the words BEGIN and END.

	Classes whose data does not fit this pattern override LoadFromStream or
	the property loaders. Saving exists in the interface but writes nothing.

	The object owns its member list and the properties in it. Registered
	names are held by pointer and must be static strings.

===============================================================================
*/
#ifndef DT_STREAMABLE_H
#define DT_STREAMABLE_H

#include "datatypes/base/DTTypes.h"
#include "datatypes/containers/DTVector.h"

class DTBasePersistStream;
class DTMemoryPersistStream;
class DTProperty;
class DTVariant;

// The registry entry of the bare class.
constexpr s32 DT_STREAMABLE_CLASS_ID		= 1;

// UID of an object whose id has not been loaded.
constexpr u32 DT_STREAMABLE_NO_UID			= 0xFFFFFFFF;

// Bytes of the buffer a text word is read into, terminator included.
constexpr s32 DT_STREAMABLE_WORD_MAX		= 2048;

// The member list is created with room for this many properties.
constexpr u32 DT_STREAMABLE_MEMBERS_INITIAL	= 3;

class DTStreamable {
public:
							DTStreamable();
							DTStreamable( const DTStreamable & ) = delete;
	DTStreamable &			operator=( const DTStreamable & ) = delete;

	static void *			Instanciate();

	virtual s32				GetClassID() const;
	virtual const char *	GetClassName() const;
	// Destroys every member property and the member list.
	virtual					~DTStreamable();

	// PrePersistStream, then LoadFromStream when it gave 0; after a 0 or a
	// skip request PostPersistStream runs. Any other pre-load code ends the
	// load at once and is the result.
	virtual s32				Load( DTBasePersistStream & stream );
	// The same sequence over AsyncLoadFromStream.
	virtual s32				AsyncLoad( DTMemoryPersistStream & stream );
	// 0.
	virtual s32				PrePersistStream( DTBasePersistStream & stream, const bool loading );
	// 0; calls OnLoadFinish when loading and no member is a link, since
	// links are only complete once the whole file is read.
	virtual s32				PostPersistStream( DTBasePersistStream & stream, const bool loading );
	// Text: words up to BEGIN, the properties, then the character after END.
	// Binary: the properties in order.
	virtual s32				LoadFromStream( DTBasePersistStream & stream );
	virtual s32				AsyncLoadFromStream( DTMemoryPersistStream & stream );
	// 0.
	virtual s32				OnLoadFinish();
	// False: a loader object would be destroyed right after its load.
	virtual bool			IsLoader();
	// False. True once another owner took the object while it loaded (a
	// manager registered it, the world or the template map holds it, or it
	// is a factory's shared instance): whoever created it for the load then
	// lets it go and never deletes it.
	virtual bool			IsOwnedElsewhere() const;
	// Write nothing; 0.
	virtual s32				Save( DTBasePersistStream & stream );
	virtual s32				SaveToStream( DTBasePersistStream & stream );
	// Until an error or the word END: reads a word and, when a member has
	// that name, loads that member. A word that names no member is skipped
	// alone. word is a buffer of DT_STREAMABLE_WORD_MAX bytes.
	virtual s32				LoadPropertiesText( char * word, DTBasePersistStream & stream );
	// Every member in order; the first nonzero code stops and is returned.
	virtual s32				LoadPropertiesBinary( DTBasePersistStream & stream );
	// Write nothing; 0.
	virtual s32				SavePropertiesText( DTBasePersistStream & stream );
	virtual s32				SavePropertiesBinary( DTBasePersistStream & stream );

	// Appends a property named name over field; 1, or 0 when no room could
	// be allocated.
	s32						RegisterMember( const DTVariant & field, const char * name );
	// Appends a link member over field whose link id is resolved through
	// the linker of the stream's opener, with this object as its parent.
	s32						RegisterLinkMember( DTStreamable ** field, const char * name );
	// First member whose name equals name (case-sensitive), or null.
	DTProperty *			FindMember( const char * name ) const;

	u32						GetMemberCount() const;
	DTProperty *			GetMember( const u32 index ) const;

	u32						GetUID() const { return muiUID; }
	void					SetUID( const u32 uid ) { muiUID = uid; }

protected:
	// Makes room for count more members, so that a constructor's
	// registrations do not grow the list one slot at a time.
	void					ReserveMembers( const u32 count );

private:
	DTVector<DTProperty *> *	mvStreamableMembers;

protected:
	u32						muiUID;

private:
	bool					CreateMemberList();
	s32						AddMember( DTProperty * property );
	bool					HasLinkMember() const;
};

#endif

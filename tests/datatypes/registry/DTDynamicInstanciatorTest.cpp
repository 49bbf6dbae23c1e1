#include "RegisteredTestClasses.h"

#include "datatypes/registry/DTDynamicInstanciator.h"

#include <gtest/gtest.h>

#include <string>

DT_IMPLEMENT_DYNAMIC_CLASS( TestSecondFile, "TEST_SECOND_FILE", TEST_SECOND_ID, IT_OBJECT );

namespace {

int gFactoryCalls = 0;
int gFactoryObject = 0;

void * CountingFactory() {
	gFactoryCalls++;
	return &gFactoryObject;
}

void * OtherFactory() {
	return nullptr;
}

} // namespace

TEST( DTDynamicInstanciator, RegistersAClassAndFindsItByIdAndName ) {
	DTDynamicInstanciator registry;
	EXPECT_EQ( registry.RegisterDynamicClass( &CountingFactory, "ONE", 1, IT_OBJECT ), 1 );
	EXPECT_EQ( registry.RegisterDynamicClass( &OtherFactory, "NODE", 74, IT_ANIM_NODE ), 74 );
	EXPECT_EQ( registry.GetCount(), 2u );

	const DTDynamicInstanciator::TInstanceMap * byId = registry.GeInfoByClsID( 74 );
	ASSERT_NE( byId, nullptr );
	EXPECT_STREQ( byId->mpszClassName, "NODE" );
	EXPECT_EQ( byId->meInstanceType, IT_ANIM_NODE );
	EXPECT_EQ( byId->mpfnFactory, &OtherFactory );
	EXPECT_EQ( registry.GeInfoByClassName( "NODE" ), byId );
	EXPECT_EQ( registry.GeInfoByClassName( "ONE" )->miClassID, 1 );
}

TEST( DTDynamicInstanciator, LookupsThatFindNothingGiveNull ) {
	DTDynamicInstanciator registry;
	registry.RegisterDynamicClass( &CountingFactory, "ONE", 1, IT_OBJECT );
	registry.RegisterDynamicClass( &CountingFactory, nullptr, 5, IT_OBJECT );
	struct IdCase {
		s32		id;
		bool	found;
	};
	const IdCase ids[] = { { 1, true }, { 5, true }, { 0, false }, { -1, false }, { 2, false } };
	for ( const IdCase & c : ids ) {
		EXPECT_EQ( registry.GeInfoByClsID( c.id ) != nullptr, c.found ) << c.id;
	}
	struct NameCase {
		const char *	name;
		bool			found;
	};
	const NameCase names[] = {
		{ "ONE", true }, { "one", false }, { "ON", false }, { "ONE ", false }, { "", false }, { nullptr, false },
	};
	for ( const NameCase & c : names ) {
		EXPECT_EQ( registry.GeInfoByClassName( c.name ) != nullptr, c.found ) << ( c.name ? c.name : "(null)" );
	}
}

TEST( DTDynamicInstanciator, AKnownNameKeepsItsFirstId ) {
	DTDynamicInstanciator registry;
	EXPECT_EQ( registry.RegisterDynamicClass( &CountingFactory, "NAME", 10, IT_OBJECT ), 10 );
	EXPECT_EQ( registry.RegisterDynamicClass( &OtherFactory, "NAME", 11, IT_ANIM_NODE ), 10 );
	EXPECT_EQ( registry.GetCount(), 1u );
	EXPECT_EQ( registry.GeInfoByClsID( 11 ), nullptr );
	const DTDynamicInstanciator::TInstanceMap * entry = registry.GeInfoByClsID( 10 );
	ASSERT_NE( entry, nullptr );
	EXPECT_EQ( entry->meInstanceType, IT_OBJECT );
	EXPECT_EQ( entry->mpfnFactory, &CountingFactory );

	// A copy of the name in another buffer is the same name.
	const std::string copy = "NAME";
	EXPECT_EQ( registry.RegisterDynamicClass( &OtherFactory, copy.c_str(), 12, IT_OBJECT ), 10 );
	EXPECT_EQ( registry.GetCount(), 1u );
}

TEST( DTDynamicInstanciator, AnIdUnderTwoNamesFindsTheFirstRegistered ) {
	DTDynamicInstanciator registry;
	registry.RegisterDynamicClass( &CountingFactory, "FIRST", 37, IT_OBJECT );
	registry.RegisterDynamicClass( &OtherFactory, "SECOND", 37, IT_OBJECT );
	EXPECT_EQ( registry.GetCount(), 2u );
	EXPECT_STREQ( registry.GeInfoByClsID( 37 )->mpszClassName, "FIRST" );
	EXPECT_EQ( registry.GeInfoByClassName( "SECOND" )->miClassID, 37 );
}

TEST( DTDynamicInstanciator, CreatesOnlyForTheInstanceTypeTheCallerAccepts ) {
	DTDynamicInstanciator registry;
	registry.RegisterDynamicClass( &CountingFactory, "OBJ", 1, IT_OBJECT );
	registry.RegisterDynamicClass( &CountingFactory, "NODE", 2, IT_ANIM_NODE );
	registry.RegisterDynamicClass( nullptr, "NO_FACTORY", 3, IT_OBJECT );
	struct Case {
		s32				id;
		const char *	name;
		InstanceType_e	accepted;
		bool			created;
	};
	const Case cases[] = {
		{ 1, "OBJ", IT_OBJECT, true },
		{ 1, "OBJ", IT_ANIM_NODE, false },
		{ 2, "NODE", IT_OBJECT, false },
		{ 2, "NODE", IT_ANIM_NODE, true },
		{ 3, "NO_FACTORY", IT_OBJECT, false },
		{ 4, "MISSING", IT_OBJECT, false },
		{ 0, nullptr, IT_OBJECT, false },
		{ 1, "OBJ", IT_NONE, false },
	};
	for ( const Case & c : cases ) {
		SCOPED_TRACE( c.id );
		gFactoryCalls = 0;
		void * byId = registry.CreateInstance( c.id, c.accepted );
		void * byName = registry.CreateInstanceByName( c.name, c.accepted );
		EXPECT_EQ( byId != nullptr, c.created );
		EXPECT_EQ( byName != nullptr, c.created );
		// A refused class never reaches its factory.
		EXPECT_EQ( gFactoryCalls, c.created ? 2 : 0 );
	}
}

TEST( DTDynamicInstanciator, ClassesRegisterThemselvesBeforeMain ) {
	struct Case {
		s32				id;
		const char *	name;
		InstanceType_e	type;
		s32				trigger;
	};
	const Case cases[] = {
		{ TEST_LOADABLE_ID, "TEST_LOADABLE", IT_OBJECT, TestLoadable_trigger },
		{ TEST_ANIM_NODE_ID, "TEST_ANIM_NODE", IT_ANIM_NODE, TestAnimNode_trigger },
		{ TEST_SECOND_ID, "TEST_SECOND_FILE", IT_OBJECT, TestSecondFile_trigger },
	};
	const DTDynamicInstanciator & registry = DTDynamicInstanciator::GetInstance();
	for ( const Case & c : cases ) {
		SCOPED_TRACE( c.name );
		// The trigger holds the id its registration returned.
		EXPECT_EQ( c.trigger, c.id );
		const DTDynamicInstanciator::TInstanceMap * entry = registry.GeInfoByClsID( c.id );
		ASSERT_NE( entry, nullptr );
		EXPECT_STREQ( entry->mpszClassName, c.name );
		EXPECT_EQ( entry->meInstanceType, c.type );
		EXPECT_EQ( registry.GeInfoByClassName( c.name ), entry );
	}
}

TEST( DTDynamicInstanciator, RegisteredFactoriesMakeDefaultConstructedObjects ) {
	const DTDynamicInstanciator & registry = DTDynamicInstanciator::GetInstance();
	const int before = TestLoadable::constructed;
	TestLoadable * object = static_cast<TestLoadable *>( registry.CreateInstance( TEST_LOADABLE_ID, IT_OBJECT ) );
	ASSERT_NE( object, nullptr );
	EXPECT_EQ( object->mui32Marker, 0x1234u );
	EXPECT_EQ( TestLoadable::constructed, before + 1 );
	delete object;

	const int nodesBefore = TestAnimNode::constructed;
	EXPECT_EQ( registry.CreateInstance( TEST_ANIM_NODE_ID, IT_OBJECT ), nullptr );
	EXPECT_EQ( TestAnimNode::constructed, nodesBefore );
	TestAnimNode * node = static_cast<TestAnimNode *>( registry.CreateInstance( TEST_ANIM_NODE_ID, IT_ANIM_NODE ) );
	ASSERT_NE( node, nullptr );
	EXPECT_EQ( TestAnimNode::constructed, nodesBefore + 1 );
	delete node;
}

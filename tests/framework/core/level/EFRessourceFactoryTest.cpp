#include "framework/core/level/EFRessource.h"
#include "framework/core/level/EFRessourceFactory.h"
#include "framework/core/level/EFRessourcesMgr.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A resource whose copies remember the object they were made from, and
// that counts the objects alive.
class SharedTestRessource : public EFRessource {
public:
	explicit SharedTestRessource( const SharedTestRessource* origin = nullptr ) : mpoOrigin( origin ) { alive++; }
	~SharedTestRessource() override { alive--; }

	EFRessource* Copy() override { return new SharedTestRessource( this ); }

	const SharedTestRessource*	mpoOrigin;
	static inline s32			alive = 0;
};

// What one GetRessource call handed out: the registered object itself,
// a copy of it, or nothing.
enum class Handed { Original, Copy, Nothing };

Handed Classify( const EFRessource* result, const SharedTestRessource* registered ) {
	if ( result == nullptr ) {
		return Handed::Nothing;
	}
	return result == registered ? Handed::Original : Handed::Copy;
}

class EFRessourceFactoryTest : public ::testing::Test {
protected:
	void SetUp() override { SharedTestRessource::alive = 0; }
	void TearDown() override { EXPECT_EQ( SharedTestRessource::alive, 0 ); }
};

TEST_F( EFRessourceFactoryTest, HandsCopiesToEveryUserButTheLastWhoGetsTheRegisteredObject ) {
	struct Row {
		const char*			name;
		u32					users;
		std::vector<Handed>	calls;
		u32					leftRegistered;
	};
	const Row rows[] = {
		{ "three users", 3, { Handed::Copy, Handed::Copy, Handed::Original, Handed::Nothing }, 0 },
		{ "one user", 1, { Handed::Original, Handed::Nothing }, 0 },
		{ "no users wraps and keeps copying", 0, { Handed::Copy, Handed::Copy, Handed::Copy }, 1 },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		EFRessourceFactory factory;
		SharedTestRessource* const registered = new SharedTestRessource();
		factory.RegisterRessource( 0x49000007, row.users, registered );
		std::vector<EFRessource*> handedOut;
		for ( size_t i = 0; i < row.calls.size(); i++ ) {
			EFRessource* const result = factory.GetRessource( 0x49000007 );
			EXPECT_EQ( Classify( result, registered ), row.calls[i] ) << "call " << i;
			if ( result == nullptr ) {
				continue;
			}
			EXPECT_EQ( result->muiRefCount, 1u );
			if ( result != registered ) {
				EXPECT_EQ( static_cast<SharedTestRessource*>( result )->mpoOrigin, registered );
			}
			handedOut.push_back( result );
		}
		EXPECT_EQ( factory.GetCount(), row.leftRegistered );
		// The users release what they got; the factory destroys what it holds.
		for ( EFRessource* result : handedOut ) {
			if ( result->Release() == 1 && result != registered ) {
				delete result;
			}
		}
		if ( row.leftRegistered == 0 ) {
			delete registered;
		}
		factory.Clear();
		EXPECT_EQ( factory.GetCount(), 0u );
	}
}

TEST_F( EFRessourceFactoryTest, ARegisteredIdAnsweredByTheLaterResourceLeavesTheEarlierAlive ) {
	EFRessourceFactory factory;
	SharedTestRessource* const first = new SharedTestRessource();
	SharedTestRessource* const second = new SharedTestRessource();
	factory.RegisterRessource( 5, 2, first );
	factory.RegisterRessource( 5, 1, second );
	EXPECT_EQ( factory.GetCount(), 1u );
	EXPECT_EQ( factory.GetRessource( 5 ), second );
	EXPECT_EQ( factory.GetRessource( 5 ), nullptr );
	EXPECT_EQ( SharedTestRessource::alive, 2 );
	delete first;
	delete second;
}

TEST_F( EFRessourceFactoryTest, ClearDestroysResourcesNeverFullyHandedOut ) {
	EFRessourceFactory factory;
	factory.RegisterRessource( 1, 2, new SharedTestRessource() );
	factory.RegisterRessource( 2, 1, new SharedTestRessource() );
	factory.RegisterRessource( 38, 4, new SharedTestRessource() );
	EFRessource* const copy = factory.GetRessource( 1 );
	factory.Clear();
	EXPECT_EQ( factory.GetRessource( 2 ), nullptr );
	EXPECT_EQ( SharedTestRessource::alive, 1 );
	delete copy;
	// The destructor clears as well.
	EFRessourceFactory* const other = new EFRessourceFactory();
	other->RegisterRessource( 3, 3, new SharedTestRessource() );
	delete other;
}

TEST_F( EFRessourceFactoryTest, ReleaseReportsTheLastUserAndWrapsBelowZero ) {
	SharedTestRessource resource;
	struct Row {
		u32		countBefore;
		u32		result;
		u32		countAfter;
	};
	const Row rows[] = { { 2, 0, 1 }, { 1, 1, 0 }, { 0, 0, 0xFFFFFFFF } };
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.countBefore );
		resource.muiRefCount = row.countBefore;
		EXPECT_EQ( resource.Release(), row.result );
		EXPECT_EQ( resource.muiRefCount, row.countAfter );
	}
	EXPECT_EQ( resource.EFRessource::Copy(), &resource );
}

TEST_F( EFRessourceFactoryTest, TheResourcesManagerClearsItsFactoryWhenTheLevelEnds ) {
	EFRessourcesMgr manager;
	manager.GetRessourceFactory().RegisterRessource( 9, 3, new SharedTestRessource() );
	manager.Terminate();
	EXPECT_EQ( manager.GetRessourceFactory().GetRessource( 9 ), nullptr );
	EXPECT_EQ( SharedTestRessource::alive, 0 );
}

}
